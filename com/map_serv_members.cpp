#include "com/map_serv_members.h"

#include "com/map_serv_object.h"

namespace vamu::com {
namespace {

// The parameters by reference, as the type library declares them.
constexpr VARTYPE S = VT_BYREF | VT_BSTR, B = VT_BYREF | VT_BOOL, D = VT_BYREF | VT_R8, I = VT_BYREF | VT_I2,
                  L = VT_BYREF | VT_I4, O = VT_BYREF | VT_DISPATCH, A = VT_BYREF | VT_ARRAY | VT_BSTR;
constexpr VARTYPE None = VT_EMPTY;

MapServRequests& on(IDispatch* self) {
    return static_cast<MapServObject*>(static_cast<_clsMapServ*>(self))->requests();
}

VARIANT_BOOL* booleanResult(VARIANT& result) {
    result.vt = VT_BOOL;
    result.boolVal = VARIANT_FALSE;
    return &result.boolVal;
}

BSTR* stringResult(VARIANT& result) {
    result.vt = VT_BSTR;
    result.bstrVal = nullptr;
    return &result.bstrVal;
}

constexpr MemberKind Method = MemberKind::Method;

const DispatchMember kMembers[] = {
    {u"strServerName",
     0x40030003,
     MemberKind::PropertyGet,
     {},
     0,
     0,
     VT_BSTR,
     [](IDispatch* self, BoundArgs&, VARIANT& r) { return on(self).getServerName(stringResult(r)); }},
    {u"strServerName",
     0x40030003,
     MemberKind::PropertyPut,
     {VT_BSTR},
     1,
     1,
     None,
     [](IDispatch* self, BoundArgs& a, VARIANT&) { return on(self).putServerName(*a[0].string()); }},
    {u"strMapName",
     0x40030004,
     MemberKind::PropertyGet,
     {},
     0,
     0,
     VT_BSTR,
     [](IDispatch* self, BoundArgs&, VARIANT& r) { return on(self).getMapName(stringResult(r)); }},
    {u"strMapName",
     0x40030004,
     MemberKind::PropertyPut,
     {VT_BSTR},
     1,
     1,
     None,
     [](IDispatch* self, BoundArgs& a, VARIANT&) { return on(self).putMapName(*a[0].string()); }},
    {u"AddToFavouriteViews",
     0x60030000,
     Method,
     {S},
     1,
     1,
     None,
     [](IDispatch* self, BoundArgs& a, VARIANT&) { return on(self).AddToFavouriteViews(a[0].string()); }},
    {u"GetSupportedFeatures",
     0x60030001,
     Method,
     {B, B, B, B, B, S, L, S, A},
     9,
     9,
     None,
     [](IDispatch* self, BoundArgs& a, VARIANT&) {
         return on(self).GetSupportedFeatures(a[0].boolean(), a[1].boolean(), a[2].boolean(), a[3].boolean(),
                                              a[4].boolean(), a[5].string(), a[6].longInt(), a[7].string(),
                                              a[8].array());
     }},
    {u"Initialize",
     0x60030002,
     Method,
     {S, O, O},
     3,
     3,
     None,
     [](IDispatch* self, BoundArgs& a, VARIANT&) {
         return on(self).Initialize(a[0].string(), a[1].object(), a[2].object());
     }},
    {u"LoadFavouriteViews",
     0x60030003,
     Method,
     {A},
     1,
     1,
     None,
     [](IDispatch* self, BoundArgs& a, VARIANT&) { return on(self).LoadFavouriteViews(a[0].array()); }},
    {u"SafeCall",
     0x60030004,
     Method,
     {},
     0,
     0,
     None,
     [](IDispatch* self, BoundArgs&, VARIANT&) { return on(self).SafeCall(); }},
    {u"SaveFavouriteViews",
     0x60030005,
     Method,
     {A},
     1,
     1,
     None,
     [](IDispatch* self, BoundArgs& a, VARIANT&) { return on(self).SaveFavouriteViews(a[0].array()); }},
    {u"ShowControlPanel",
     0x60030006,
     Method,
     {},
     0,
     0,
     None,
     [](IDispatch* self, BoundArgs&, VARIANT&) { return on(self).ShowControlPanel(); }},
    {u"DrawMapFromCentre",
     0x60030007,
     Method,
     {O, D, D},
     3,
     3,
     VT_BOOL,
     [](IDispatch* self, BoundArgs& a, VARIANT& r) {
         return on(self).DrawMapFromCentre(a[0].object(), a[1].real(), a[2].real(), booleanResult(r));
     }},
    {u"DrawMapFromCorners",
     0x60030008,
     Method,
     {O, D, D, D, D},
     5,
     5,
     VT_BOOL,
     [](IDispatch* self, BoundArgs& a, VARIANT& r) {
         return on(self).DrawMapFromCorners(a[0].object(), a[1].real(), a[2].real(), a[3].real(), a[4].real(),
                                            booleanResult(r));
     }},
    {u"ResizeMap",
     0x60030009,
     Method,
     {O, D, D, D, D},
     5,
     5,
     VT_BOOL,
     [](IDispatch* self, BoundArgs& a, VARIANT& r) {
         return on(self).ResizeMap(a[0].object(), a[1].real(), a[2].real(), a[3].real(), a[4].real(),
                                   booleanResult(r));
     }},
    {u"SpecialMenuOption",
     0x6003000A,
     Method,
     {O, I},
     2,
     2,
     VT_BOOL,
     [](IDispatch* self, BoundArgs& a, VARIANT& r) {
         return on(self).SpecialMenuOption(a[0].object(), a[1].integer(), booleanResult(r));
     }},
    {u"ZoomAll",
     0x6003000B,
     Method,
     {O},
     1,
     1,
     VT_BOOL,
     [](IDispatch* self, BoundArgs& a, VARIANT& r) {
         return on(self).ZoomAll(a[0].object(), booleanResult(r));
     }},
    {u"ZoomIn",
     0x6003000C,
     Method,
     {O},
     1,
     1,
     VT_BOOL,
     [](IDispatch* self, BoundArgs& a, VARIANT& r) {
         return on(self).ZoomIn(a[0].object(), booleanResult(r));
     }},
    {u"ZoomOut",
     0x6003000D,
     Method,
     {O},
     1,
     1,
     VT_BOOL,
     [](IDispatch* self, BoundArgs& a, VARIANT& r) {
         return on(self).ZoomOut(a[0].object(), booleanResult(r));
     }},
    {u"ZoomPan",
     0x6003000E,
     Method,
     {O, I},
     2,
     2,
     VT_BOOL,
     [](IDispatch* self, BoundArgs& a, VARIANT& r) {
         return on(self).ZoomPan(a[0].object(), a[1].integer(), booleanResult(r));
     }},
};

}  // namespace

std::span<const DispatchMember> mapServMembers() noexcept { return kMembers; }

}  // namespace vamu::com
