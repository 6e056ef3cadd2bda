#include "com/map_serv_members.h"

#include "com/map_serv_requests.h"
#include "com/request_member.h"

namespace vamu::com {

std::span<const DispatchMember> mapServMembers() noexcept {
    using R = MapServRequests;
    constexpr MemberKind Get = MemberKind::PropertyGet, Put = MemberKind::PropertyPut;
    // In the order of the IDL, which is the order of the vtable.
    static const DispatchMember members[] = {
        member<&R::getServerName>(u"strServerName", 0x40030003, Get),
        member<&R::putServerName>(u"strServerName", 0x40030003, Put),
        member<&R::getMapName>(u"strMapName", 0x40030004, Get),
        member<&R::putMapName>(u"strMapName", 0x40030004, Put),
        member<&R::AddToFavouriteViews>(u"AddToFavouriteViews", 0x60030000),
        member<&R::GetSupportedFeatures>(u"GetSupportedFeatures", 0x60030001),
        member<&R::Initialize>(u"Initialize", 0x60030002),
        member<&R::LoadFavouriteViews>(u"LoadFavouriteViews", 0x60030003),
        member<&R::SafeCall>(u"SafeCall", 0x60030004),
        member<&R::SaveFavouriteViews>(u"SaveFavouriteViews", 0x60030005),
        member<&R::ShowControlPanel>(u"ShowControlPanel", 0x60030006),
        member<&R::DrawMapFromCentre>(u"DrawMapFromCentre", 0x60030007),
        member<&R::DrawMapFromCorners>(u"DrawMapFromCorners", 0x60030008),
        member<&R::ResizeMap>(u"ResizeMap", 0x60030009),
        member<&R::SpecialMenuOption>(u"SpecialMenuOption", 0x6003000A),
        member<&R::ZoomAll>(u"ZoomAll", 0x6003000B),
        member<&R::ZoomIn>(u"ZoomIn", 0x6003000C),
        member<&R::ZoomOut>(u"ZoomOut", 0x6003000D),
        member<&R::ZoomPan>(u"ZoomPan", 0x6003000E),
    };
    return members;
}

}  // namespace vamu::com
