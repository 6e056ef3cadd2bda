// The requests that neither draw nor move the map.

#include "server/cls_map_serv.h"

namespace vamu {

Status clsMapServ::ShowControlPanel() {
    return guarded([&] {
        PanelAccess& panel = module_.panel();
        panel.show();
        panel.setVisible(true);
    });
}

Status clsMapServ::SafeCall() {
    return guarded([&] {
        Store& store = module_.store;
        requiredRef(store.objEvents)
            ->signalInformation(store.dblMapX1, store.dblMapX2, store.dblMapY1, store.dblMapY2,
                                store.strInfo);
    });
}

Status clsMapServ::AddToFavouriteViews(std::u16string& /*strL*/) { return {}; }

Status clsMapServ::LoadFavouriteViews(std::vector<std::u16string>& /*strFav*/) { return {}; }

Status clsMapServ::SaveFavouriteViews(std::vector<std::u16string>& /*strL*/) {
    return guarded(
        [&] { module_.services.messages.show(u"SaveFavouriteViews", MessageButtons::Ok, std::nullopt); });
}

Status clsMapServ::SpecialMenuOption(ObjectRef& /*picMap*/, std::int16_t& intIndex, vb::Boolean& result) {
    result = vb::False;
    return guarded([&] {
        MessageBoxes& messages = module_.services.messages;
        if (intIndex == 0) {
            const std::u16string text = strMyCallsign_ + u"さん、こんにちは" + u"\r\n" +
                                        u"ProAtlas plugin by Vamu(QQ0QQQ)" +
                                        u"をダウンロードしていただき、ありがとうございます。" + u"\r\n" +
                                        u"このプラグインは現在開発途中です。不具合報告お待ちしております。";
            messages.show(text, MessageButtons::Ok, u"Welcome!! " + strMyCallsign_);
        } else if (intIndex == 1) {
            messages.show(u"ヴァムーマップサーバー", MessageButtons::Ok, std::nullopt);
        }
    });
}

}  // namespace vamu
