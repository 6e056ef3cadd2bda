#include "simulator/session.h"

#include <sstream>

#include "contracts/text.h"
#include "native/atomic_file.h"
#include "native/bmp_codec.h"
#include "native/png_writer.h"
#include "panel/form1.h"
#include "simulator/output.h"

namespace vamu::sim {
namespace {

// A null stream for the trace when it is off.
class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return c; }
};
NullBuffer nullBuffer;
std::ostream nullStream(&nullBuffer);

constexpr char16_t kDefaultTitle[] = u"vamuMapserver";

}  // namespace

Session::Session(const Options& options, std::ostream& out)
    : options_(options),
      out_(out),
      hostDir_(std::filesystem::absolute(options.hostDir)),
      platform_(native::NativeOptions{{}, false}),
      profile_(platform_.profile(), options.trace ? out : nullStream),
      panels_(platform_.panels(), options.trace ? out : nullStream),
      services_{platform_.host(),
                platform_.clipboard(),
                platform_.pictures(),
                platform_.messages(),
                platform_.clock(),
                profile_,
                panels_,
                platform_.version()},
      module_(services_, makeForm1),
      server_(module_),
      picture_(std::make_shared<native::SubstitutePictureBox>(options.width, options.height)),
      form_(std::make_shared<native::SubstituteForm>(picture_)),
      events_(std::make_shared<native::SubstituteEvents>()),
      picMap_(picture_) {
    std::filesystem::create_directories(hostDir_ / "MAPS");
    platform_.host().automation().setInstallationDirectory(native::DriveMap::toWindows(hostDir_));
    events_->onSignalInformation(
        [this](double& x1, double& x2, double& y1, double& y2, std::u16string& info) {
            out_ << "SignalInformation " << number(x1) << ' ' << number(x2) << ' ' << number(y1) << ' '
                 << number(y2) << ' ' << quote(info) << '\n';
        });
    events_->onSignalSpecialRedraw(
        [this](std::u16string& info) { out_ << "SignalSpecialRedraw " << quote(info) << '\n'; });
    platform_.messages().setObserver([this](const native::ShownMessage& box) {
        out_ << "MessageBox " << quote(box.title.value_or(kDefaultTitle)) << ' ' << quote(box.text) << '\n';
    });
}

void Session::printStatus(const char* request, bool result, const Status& status) {
    printOutcome(out_, request, result, status);
}

bool Session::start() {
    std::u16string callsign = fromUtf8(options_.callsign);
    ObjectRef events = events_;
    ObjectRef form = form_;
    const Status initialized = server_.Initialize(callsign, events, form);
    printStatus("Initialize", initialized.ok(), initialized);
    if (!initialized) return false;

    vb::Boolean diagonal = vb::False, zoomIn = vb::False, zoomOut = vb::False, zoomAll = vb::False,
                panel = vb::False;
    std::u16string helpFile, shortName;
    std::int32_t helpTopic = 0;
    std::vector<std::u16string> captions;
    const Status features = server_.GetSupportedFeatures(diagonal, zoomIn, zoomOut, zoomAll, panel, helpFile,
                                                         helpTopic, shortName, captions);
    auto flag = [](vb::Boolean b) { return b ? "True" : "False"; };
    out_ << "Features DiagonalPan=" << flag(diagonal) << " ZoomIn=" << flag(zoomIn)
         << " ZoomOut=" << flag(zoomOut) << " ZoomAll=" << flag(zoomAll) << " ControlPanel=" << flag(panel)
         << " HelpFile=" << quote(helpFile) << " HelpTopic=" << helpTopic << " ShortName=" << quote(shortName)
         << " Menu=";
    for (const auto& caption : captions) out_ << quote(caption) << (&caption == &captions.back() ? "" : ",");
    out_ << '\n';
    printStatus("GetSupportedFeatures", features.ok(), features);
    return true;
}

void Session::run(const Request& request) {
    vb::Boolean result = vb::False;
    std::vector<double> d = request.degrees;
    std::int16_t code = request.code;
    switch (request.kind) {
        case RequestKind::Corners: {
            const Status s = server_.DrawMapFromCorners(picMap_, d[0], d[1], d[2], d[3], result);
            return printStatus("DrawMapFromCorners", result, s);
        }
        case RequestKind::Centre: {
            const Status s = server_.DrawMapFromCentre(picMap_, d[0], d[1], result);
            return printStatus("DrawMapFromCentre", result, s);
        }
        case RequestKind::Resize:
            return runResize(request);
        case RequestKind::ZoomIn: {
            const Status s = server_.ZoomIn(picMap_, result);
            return printStatus("ZoomIn", result, s);
        }
        case RequestKind::ZoomOut: {
            const Status s = server_.ZoomOut(picMap_, result);
            return printStatus("ZoomOut", result, s);
        }
        case RequestKind::ZoomAll: {
            const Status s = server_.ZoomAll(picMap_, result);
            return printStatus("ZoomAll", result, s);
        }
        case RequestKind::Pan: {
            const Status s = server_.ZoomPan(picMap_, code, result);
            return printStatus("ZoomPan", result, s);
        }
        case RequestKind::Layer:
            return runLayerClick(code);
        case RequestKind::SafeCall: {
            const Status s = server_.SafeCall();
            return printStatus("SafeCall", s.ok(), s);
        }
        case RequestKind::ShowPanel: {
            const Status s = server_.ShowControlPanel();
            return printStatus("ShowControlPanel", s.ok(), s);
        }
        case RequestKind::ClosePanel:
            return runClosePanel();
        case RequestKind::Menu: {
            const Status s = server_.SpecialMenuOption(picMap_, code, result);
            return printStatus("SpecialMenuOption", result, s);
        }
        case RequestKind::Favourites:
            return runFavourites();
    }
}

void Session::runLayerClick(std::int16_t index) {
    auto* widgets = platform_.panels().lastCreated();
    if (!widgets) {
        printStatus("Option1_Click", false, {RuntimeError(ErrorNumber::ObjectNotSet)});
        return;
    }
    const Status clicked = guarded([&] {
        if (!widgets->options().click(index)) {
            throw RuntimeError(ErrorNumber::InvalidProcedureCall, u"The button takes no click");
        }
    });
    const auto* form = dynamic_cast<const Form1*>(&module_.panel());
    const Status& status = clicked.ok() && form ? form->lastEventStatus() : clicked;
    printStatus("Option1_Click", status.ok(), status);
}

void Session::runClosePanel() {
    auto* widgets = platform_.panels().lastCreated();
    if (!widgets) {
        printStatus("ClosePanel", false, {RuntimeError(ErrorNumber::ObjectNotSet)});
        return;
    }
    const bool closed = widgets->window().requestClose();
    out_ << "Form1.QueryUnload Cancel=" << (closed ? "False" : "True")
         << " Visible=" << (widgets->window().visible() ? "True" : "False") << '\n';
    printStatus("ClosePanel", true, {});
}

void Session::runResize(const Request& request) {
    picture_->setPixelSize(request.width, request.height);
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    vb::Boolean result = vb::False;
    const Status status = server_.ResizeMap(picMap_, x1, y1, x2, y2, result);
    printStatus("ResizeMap", result, status);
}

void Session::runFavourites() {
    std::u16string view = u"35.68 139.77 Tokyo";
    std::vector<std::u16string> views{view};
    const Status added = server_.AddToFavouriteViews(view);
    printStatus("AddToFavouriteViews", added.ok(), added);
    const Status loaded = server_.LoadFavouriteViews(views);
    printStatus("LoadFavouriteViews", loaded.ok(), loaded);
    const Status saved = server_.SaveFavouriteViews(views);
    printStatus("SaveFavouriteViews", saved.ok(), saved);
}

void Session::finish(std::ostream& err) {
    if (module_.hasPanel()) {
        err << "--- panel log (newest first) ---\n" << toUtf8(module_.panel().log().text());
    }
    const std::filesystem::path bitmap = hostDir_ / "MAPS" / "!!vamuMapserver.bmp";
    err << "map bitmap: " << bitmap.string() << (std::filesystem::exists(bitmap) ? "" : " (not written)")
        << '\n';
    if (options_.png && std::filesystem::exists(bitmap)) {
        std::filesystem::path png = bitmap;
        png.replace_extension(".png");
        const Status written = guarded([&] {
            if (!native::writePng(native::decodeBmp(native::readWholeFile(bitmap)), png)) {
                throw RuntimeError(ErrorNumber::InternalError, u"this build writes no PNG files");
            }
        });
        if (written) {
            err << "png copy: " << png.string() << '\n';
        } else {
            err << "png copy failed: " << written.error->what() << '\n';
        }
    }
}

}  // namespace vamu::sim
