#include "reports/model/spot_file.h"

#include "files/safe_file.h"
#include "reports/model/spot_sample.h"
#include "seed/gene_sample_file.h"
#include "world/counters.h"
#include "world/format.h"
#include "world/lists.h"

namespace kesmir {

std::atomic<bool> store{false};

std::string spotFileText(int32_t cycle) {
    std::string text;
    appendFormatted(text, "%d\n", cycle);
    appendFormatted(text, "%d %d %d\n", Psamp, Hsamp, Csamp);
    for (int32_t i = 0; i < Psamp; ++i)
        appendPlantLine(text, SP[i]);
    for (int32_t i = 0; i < Hsamp; ++i)
        appendAnimalLine(text, SH[i]);
    for (int32_t i = 0; i < Csamp; ++i)
        appendAnimalLine(text, SC[i]);
    return text;
}

bool writeSpotFile() {
    const WriteResult written = writeFileAtomically(kSpotFile, spotFileText(kk));
    if (!written.ok) tellWriteFailure(kSpotFile, written);
    return written.ok;
}

}  // namespace kesmir
