#pragma once
// One map session of the simulated host: the native platform, the host's
// form, picture box and events object, and the plug-in driven as the host
// drives it.

#include <filesystem>
#include <memory>
#include <ostream>

#include "native/native_platform.h"
#include "native/substitute_events.h"
#include "native/substitute_host.h"
#include "server/cls_map_serv.h"
#include "simulator/arguments.h"
#include "simulator/tracing.h"

namespace vamu::sim {

class Session {
public:
    Session(const Options& options, std::ostream& out);

    // Initialize and GetSupportedFeatures, as the host starts; false when
    // Initialize failed.
    bool start();
    void run(const Request& request);
    // The panel's log, newest line first, and the map bitmap's local path
    // (with a PNG copy beside it when asked).
    void finish(std::ostream& err);

private:
    void printStatus(const char* request, bool result, const Status& status);
    void runLayerClick(std::int16_t index);
    void runClosePanel();
    void runResize(const Request& request);
    void runFavourites();

    const Options& options_;
    std::ostream& out_;
    std::filesystem::path hostDir_;
    native::NativePlatform platform_;
    TracingProfileWriter profile_;
    TracingPanelFactory panels_;
    Services services_;
    Module module_;
    clsMapServ server_;
    std::shared_ptr<native::SubstitutePictureBox> picture_;
    std::shared_ptr<native::SubstituteForm> form_;
    std::shared_ptr<native::SubstituteEvents> events_;
    ObjectRef picMap_;
};

}  // namespace vamu::sim
