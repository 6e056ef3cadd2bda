// Late-bound calls and the errors they turn into.

#include "win/platform/com_error.h"
#include "win/platform/dispatch.h"
#include "win/tests/support/check.h"
#include "win/tests/support/fake_dispatch.h"
#include "win/win_platform.h"

namespace vamu::wine_test {
namespace {

using win::CallKind;
using win::ComPtr;
using win::Variant;

ComPtr<FakeDispatch> fake(std::vector<std::u16string> names, FakeDispatch::Handler handler = succeed) {
    return ComPtr<FakeDispatch>::attach(new FakeDispatch(std::move(names), std::move(handler)));
}

CHECK_CASE(hresults_become_vb_errors_or_foreign_ones) {
    const RuntimeError vb = win::errorFromHresult(static_cast<HRESULT>(0x800A0035), u"gone");
    CHECK(vb.number() == 53 && vb.description() == u"gone" && !vb.isForeign());
    CHECK(win::errorFromHresult(static_cast<HRESULT>(0x800A005B)).description() ==
          describe(ErrorNumber::ObjectNotSet));
    CHECK(win::errorFromHresult(DISP_E_TYPEMISMATCH).number() == 13);
    CHECK(win::errorFromHresult(DISP_E_UNKNOWNNAME).number() == 438);
    const RuntimeError foreign = win::errorFromHresult(E_FAIL, u"", u"Host");
    CHECK(foreign.isForeign() && foreign.hresult() == static_cast<std::uint32_t>(E_FAIL));
    CHECK(!foreign.description().empty() && foreign.source() == u"Host");
    CHECK(win::errorFromWin32(ERROR_FILE_NOT_FOUND).number() == 53);
    CHECK(win::errorFromWin32(ERROR_PATH_NOT_FOUND).number() == 76);
}

CHECK_CASE(excepinfo_keeps_the_callers_text) {
    EXCEPINFO info{};
    info.wCode = 91;
    CHECK(win::errorFromExcepInfo(info).number() == 91);
    raiseException(&info, E_ACCESSDENIED, L"denied here", L"HostApp");
    const RuntimeError e = win::errorFromExcepInfo(info);
    CHECK(e.isForeign() && e.hresult() == static_cast<std::uint32_t>(E_ACCESSDENIED));
    CHECK(e.description() == u"denied here" && e.source() == u"HostApp");
    CHECK(info.bstrDescription == nullptr && info.bstrSource == nullptr);
}

CHECK_CASE(arguments_arrive_in_natural_order_and_by_reference) {
    auto object = fake({u"Move"}, [](const RecordedCall& call, DISPPARAMS*, VARIANT*, EXCEPINFO*) {
        *static_cast<double*>(call.args[1].pointer) = 2.5;  // written through the reference
        return S_OK;
    });
    double target = 1.0;
    Variant args[] = {Variant::i4(7), Variant::refR8(&target), Variant::string(u"z")};
    VARIANT raw[] = {*args[0].get(), *args[1].get(), *args[2].get()};
    win::invoke(object.get(), u"Move", CallKind::Method, raw);
    const RecordedCall& call = object->calls().at(0);
    CHECK(call.flags == DISPATCH_METHOD && call.args.size() == 3);
    CHECK(call.args[0].number == 7 && call.args[1].type == (VT_BYREF | VT_R8) && call.args[2].text == u"z");
    CHECK(target == 2.5);
}

CHECK_CASE(a_put_names_its_value_and_a_get_returns_one) {
    auto object = fake({u"Caption"}, [](const RecordedCall& call, DISPPARAMS*, VARIANT* result, EXCEPINFO*) {
        if (call.flags == DISPATCH_PROPERTYGET) {
            result->vt = VT_BSTR;
            result->bstrVal = SysAllocString(L"Title");
        }
        return S_OK;
    });
    win::putProperty(object.get(), u"Caption", Variant::string(u"New"));
    CHECK(object->calls().at(0).flags == DISPATCH_PROPERTYPUT);
    CHECK(object->calls().at(0).named == std::vector<DISPID>{DISPID_PROPERTYPUT});
    CHECK(object->calls().at(0).args.at(0).text == u"New");
    CHECK(win::toString(win::getProperty(object.get(), u"Caption").ref()) == u"Title");
}

CHECK_CASE(failed_calls_raise_what_the_callee_reported) {
    auto object =
        fake({u"Fail", u"Broken"}, [](const RecordedCall& call, DISPPARAMS*, VARIANT*, EXCEPINFO* info) {
            if (call.member == 1)
                return raiseException(info, static_cast<HRESULT>(0x800A0005), L"bad call", L"x");
            return E_UNEXPECTED;
        });
    CHECK_RAISES(438, win::invoke(object.get(), u"Missing", CallKind::Method));
    CHECK_RAISES(5, win::invoke(object.get(), u"Fail", CallKind::Method));
    try {
        win::invoke(object.get(), u"Fail", CallKind::Method);
    } catch (const RuntimeError& e) {
        CHECK(e.description() == u"bad call");
    }
    CHECK_RAISES(static_cast<int>(E_UNEXPECTED & 0xFFFF),
                 win::invoke(object.get(), u"Broken", CallKind::Method));
    CHECK_RAISES(91, win::invoke(nullptr, DISPID_VALUE, CallKind::Get));
}

CHECK_CASE(conversions_follow_variant_coercion) {
    CHECK(win::toDouble(*Variant::string(u"12.5").get()) == 12.5);
    CHECK_RAISES(13, win::toDouble(*Variant::string(u"wide").get()));
    CHECK_RAISES(6, win::toLong(*Variant::r8(1e12).get()));
    CHECK(!win::toDispatch(Variant().ref()));
    CHECK_RAISES(13, win::toDispatch(*Variant::i4(3).get()));
}

CHECK_CASE(wrapped_objects_hold_one_reference) {
    auto object = fake({});
    CHECK(win::wrapDispatch(nullptr) == nullptr);
    {
        ObjectRef ref = win::wrapDispatch(object.get());
        ObjectRef copy = ref;
        CHECK(object->refs() == 2);
        CHECK(win::dispatchOf(copy) == object.get());
    }
    CHECK(object->refs() == 1);
    CHECK_RAISES(13, win::dispatchOf(std::make_shared<AutomationObject>()));
}

}  // namespace
}  // namespace vamu::wine_test
