#include "reports/gui/spot_sample_dialog.h"

#include "reports/gui/report_dialog.h"
#include "reports/model/spot_sample.h"
#include "world/counters.h"

namespace kesmir {

// No pause is set: the simulation is held only while the records are copied
// and runs on while the user reads the reports.
void spotSample(QWidget* owner, int hScrollPos, int vScrollPos, Zoom zoom) {
    takeSpotSample(hScrollPos, vScrollPos, zoom);
    ReportDialog dialog(kk, owner);
    dialog.exec();
}

}  // namespace kesmir
