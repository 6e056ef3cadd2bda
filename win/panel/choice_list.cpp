#include "win/panel/choice_list.h"

#include "win/platform/bstr.h"

namespace vamu::win {

void WinChoiceList::setItems(const std::vector<std::u16string>& items) {
    SendMessageW(handle(), CB_RESETCONTENT, 0, 0);
    for (const std::u16string& item : items)
        SendMessageW(handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(item)));
}

std::vector<std::u16string> WinChoiceList::items() {
    std::vector<std::u16string> out;
    const LRESULT count = SendMessageW(handle(), CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(handle(), CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length < 0) break;
        std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
        const LRESULT got = SendMessageW(handle(), CB_GETLBTEXT, static_cast<WPARAM>(i),
                                         reinterpret_cast<LPARAM>(text.data()));
        text.resize(got < 0 ? 0 : static_cast<std::size_t>(got));
        out.push_back(std::move(text));
    }
    return out;
}

void WinChoiceList::setSelected(std::int32_t index) {
    SendMessageW(handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

std::int32_t WinChoiceList::selected() {
    const LRESULT index = SendMessageW(handle(), CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : static_cast<std::int32_t>(index);
}

void WinChoiceList::changed() {
    const std::int32_t index = selected();
    const auto handler = change_;  // the handler may replace itself
    if (index < 0 || !handler) return;
    try {
        handler(index);
    } catch (...) {
        // The window procedure is no place for a failure to go on.
    }
}

}  // namespace vamu::win
