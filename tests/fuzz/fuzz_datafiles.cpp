// Band plan and mode segment files as an operator's editor may leave them:
// any bytes must load without a crash, and what the program writes back must
// load to the same entries again, character for character (a second save
// changes nothing).
#include "data/Bands.h"
#include "data/Modes.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    TBandPlan plan;
    plan.LoadFromFileBytes(bytes);
    for (int i = 0; i < plan.Count(); ++i)
        (void)plan.Entry(i);
    const QByteArray bandsOnce = plan.ToFileBytes();
    TBandPlan again;
    again.LoadFromFileBytes(bandsOnce);
    if (again.ToFileBytes() != bandsOnce || again.Count() != plan.Count())
        std::abort();
    for (int i = 0; i < plan.Count(); ++i) {
        if (again.Item(i).Text != plan.Item(i).Text || again.Item(i).Checked != plan.Item(i).Checked)
            std::abort();
    }

    TModeSegments modes;
    modes.LoadFromFileBytes(bytes);
    for (int i = 0; i < modes.Count(); ++i) {
        TMode segment;
        (void)TModeSegments::ReadSegment(modes.Item(i), segment);
    }
    (void)modes.OverlapQuestions();
    const QByteArray modesOnce = modes.ToFileBytes();
    TModeSegments modesAgain;
    modesAgain.LoadFromFileBytes(modesOnce);
    if (modesAgain.ToFileBytes() != modesOnce || modesAgain.AllItems() != modes.AllItems())
        std::abort();
    return 0;
}
