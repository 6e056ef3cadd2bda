#include <gtest/gtest.h>

#include <deque>
#include <initializer_list>

#include "native/substitute_binding.h"
#include "native/substitute_events.h"
#include "native/substitute_host.h"
#include "native_test_support.h"
#include "support/failure_injection.h"

namespace vamu::native {
namespace {

using testing::errorOf;
using testing::FailureInjection;
using testing::hostFailure;

TEST(NativeHost, PictureBoxAnswersInItsScaleMode) {
    SubstitutePictureBox box(320, 241);
    EXPECT_EQ(box.scaleMode(), 1);
    EXPECT_EQ(box.scaleWidth(), 4800.0);
    EXPECT_EQ(box.scaleHeight(), 3615.0);
    box.setScaleMode(3);
    EXPECT_EQ(box.scaleWidth(), 320.0);
    EXPECT_EQ(box.scaleHeight(), 241.0);
    box.setScaleMode(4);  // characters: 120 twips across, 240 down
    EXPECT_EQ(box.scaleWidth(), 40.0);
    EXPECT_EQ(box.scaleHeight(), 15.0625);
    box.setPixelSize(0.1, 2.5);
    box.setScaleMode(3);
    EXPECT_EQ(box.scaleWidth(), static_cast<double>(0.1f));  // a Single, as the host reports it
    EXPECT_EQ(box.scaleHeight(), 2.5);
}

TEST(NativeHost, PictureBoxRefusesAnUnknownScaleMode) {
    SubstitutePictureBox box;
    box.setScaleMode(3);
    for (const std::int16_t mode : std::initializer_list<std::int16_t>{-1, 8}) {
        try {
            box.setScaleMode(mode);
            FAIL() << "mode " << mode;
        } catch (const RuntimeError& e) {
            EXPECT_TRUE(e.isForeign());
            EXPECT_EQ(e.number(), 380);
        }
    }
    EXPECT_EQ(box.scaleMode(), 3);
}

TEST(NativeHost, ArrangedFailuresAreRaisedAndStillRecorded) {
    SubstitutePictureBox box;
    FailureInjection failures(box);
    failures.fail(PictureBoxMember::ScaleWidth, hostFailure());
    EXPECT_EQ(errorOf([&] { box.scaleWidth(); }), 0x4005);
    EXPECT_NO_THROW(box.scaleHeight());
    failures.clear(PictureBoxMember::ScaleWidth);
    EXPECT_NO_THROW(box.scaleWidth());
    EXPECT_EQ(box.calls(), (std::deque{PictureBoxMember::ScaleWidth, PictureBoxMember::ScaleHeight,
                                       PictureBoxMember::ScaleWidth}));
}

TEST(NativeHost, ArrangedFailuresEndWithTheirArrangement) {
    SubstitutePictureBox box;
    {
        FailureInjection failures(box);
        failures.fail(PictureBoxMember::ScaleWidth, hostFailure());
        EXPECT_EQ(errorOf([&] { box.scaleWidth(); }), 0x4005);
    }
    EXPECT_NO_THROW(box.scaleWidth());  // the hook is gone with the arrangement
}

TEST(NativeHost, FormWithoutPicMapFailsTheLookup) {
    auto box = std::make_shared<SubstitutePictureBox>();
    SubstituteForm form(box);
    EXPECT_EQ(form.picMap(), box);
    form.setPicMapControl(nullptr);
    try {
        form.picMap();
        FAIL();
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.hresult(), 0x800A02DAu);
        EXPECT_EQ(e.number(), 730);
    }
    EXPECT_EQ(form.picMapLookups(), 2);
}

TEST(NativeHost, BindingViewsOfTheWrongObjectFailEachCall) {
    SubstituteHostBinding binding;
    const ObjectRef box = std::make_shared<SubstitutePictureBox>();
    const ObjectRef form = std::make_shared<SubstituteForm>();
    EXPECT_EQ(errorOf([&] { binding.form(box)->caption(); }), 438);
    EXPECT_EQ(errorOf([&] { binding.form(box)->picMap(); }), 438);
    std::u16string info;
    EXPECT_EQ(errorOf([&] { binding.events(form)->signalSpecialRedraw(info); }), 438);
    EXPECT_EQ(errorOf([&] { binding.lateBoundPictureBox(form)->setScaleMode(3); }), 438);
    EXPECT_EQ(binding.form(nullptr), nullptr);
    EXPECT_EQ(binding.events(nullptr), nullptr);
    EXPECT_EQ(binding.pictureBox(nullptr), nullptr);
    EXPECT_EQ(binding.form(form)->caption(), u"UI-View32");
}

TEST(NativeHost, OnlyAStandardPictureBoxIsTakenAsOne) {
    SubstituteHostBinding binding;
    auto box = std::make_shared<SubstitutePictureBox>();
    EXPECT_EQ(binding.pictureBox(box), box);
    EXPECT_EQ(errorOf([&] { binding.pictureBox(std::make_shared<SubstituteForm>()); }), 13);
    box->setOffersPictureBoxInterface(false);
    EXPECT_EQ(errorOf([&] { binding.pictureBox(box); }), 13);
    EXPECT_EQ(binding.lateBoundPictureBox(box), box);  // its members still answer by name
}

TEST(NativeHost, AutomationCreationAndItsMapObject) {
    SubstituteHostBinding binding;
    binding.automation().setInstallationDirectory(u"C:\\UIV\\");
    const auto automation = binding.createAutomation();
    EXPECT_EQ(automation->installationDirectory(), u"C:\\UIV\\");
    EXPECT_NE(automation->mapObject(), nullptr);
    binding.automation().setMapObject(nullptr);
    EXPECT_EQ(errorOf([&] { automation->mapObject(); }), 91);
    binding.setCanCreateAutomation(false);
    EXPECT_EQ(errorOf([&] { binding.createAutomation(); }), 429);
    EXPECT_EQ(binding.automationsCreated(), 1);
}

TEST(NativeHost, EventsRecordEveryCallAndWriteBackIntoTheCallersVariables) {
    SubstituteEvents events;
    events.onSignalInformation([](double& x1, double&, double&, double& y2, std::u16string& info) {
        x1 = -1;
        y2 = 99;
        info += u"!";
    });
    double x1 = 1, x2 = 2, y1 = 3, y2 = 4;
    std::u16string info = u"Mapserver by Vamu";
    events.signalInformation(x1, x2, y1, y2, info);
    events.signalSpecialRedraw(info);
    EXPECT_EQ(x1, -1);
    EXPECT_EQ(x2, 2);
    EXPECT_EQ(y2, 99);
    EXPECT_EQ(info, u"Mapserver by Vamu!");
    ASSERT_EQ(events.calls().size(), 2u);
    const EventCall& first = events.calls()[0];
    EXPECT_EQ(first.method, EventMethod::SignalInformation);
    EXPECT_EQ(first.x1, 1);  // as received, before the host changed it
    EXPECT_EQ(first.y2, 4);
    EXPECT_EQ(first.info, u"Mapserver by Vamu");
    EXPECT_EQ(events.calls()[1].method, EventMethod::SignalSpecialRedraw);
    EXPECT_EQ(events.calls()[1].info, u"Mapserver by Vamu!");
}

TEST(NativeHost, FailingEventIsRecordedButWritesNothing) {
    SubstituteEvents events;
    events.onSignalSpecialRedraw([](std::u16string& info) { info = u"changed"; });
    FailureInjection failures(events);
    failures.fail(EventMethod::SignalSpecialRedraw, RuntimeError(ErrorNumber::PermissionDenied));
    std::u16string info = u"text";
    EXPECT_EQ(errorOf([&] { events.signalSpecialRedraw(info); }), 70);
    EXPECT_EQ(info, u"text");
    EXPECT_EQ(events.calls().size(), 1u);
}

// A host that runs for days: the objects remember only the newest calls,
// in order, so that memory stays flat however long the session.
TEST(NativeHost, ObjectsRememberTheNewestCallsOnly) {
    SubstitutePictureBox box;
    SubstituteEvents events;
    std::u16string info;
    for (std::size_t i = 0; i < 3 * kRememberedCalls; ++i) {
        box.scaleWidth();
        double x1 = static_cast<double>(i), x2 = 0, y1 = 0, y2 = 0;
        events.signalInformation(x1, x2, y1, y2, info);
    }
    box.setPicture(nullptr);
    events.signalSpecialRedraw(info);
    ASSERT_EQ(box.calls().size(), kRememberedCalls);
    EXPECT_EQ(box.calls().back(), PictureBoxMember::Picture);
    EXPECT_EQ(box.calls().front(), PictureBoxMember::ScaleWidth);
    ASSERT_EQ(events.calls().size(), kRememberedCalls);
    EXPECT_EQ(events.calls().front().x1, static_cast<double>(2 * kRememberedCalls + 1));
    EXPECT_EQ(events.calls().back().method, EventMethod::SignalSpecialRedraw);
}

}  // namespace
}  // namespace vamu::native
