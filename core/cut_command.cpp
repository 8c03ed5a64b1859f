#include "core/cut_command.h"

namespace tsly {

CutResult RunCutCommand(const CutListSource& list, CutEnvironment& env) {
    // A settings error escapes from here, before any file is touched.
    const CutOptions options = env.ReadOptions();

    CutResult result;
    const std::size_t count = list.Count();
    for (std::size_t i = 0; i < count; ++i) {
        if (!list.Checked(i)) continue;
        const std::string& caption = list.Caption(i);

        std::string current = caption;
        if (auto target = FirstCutTarget(caption, options)) {
            // A failed rename leaves the file where it was; the second cut
            // then works on that old path.
            if (env.Rename(caption, *target)) {
                current = std::move(*target);
                ++result.renamed;
            }
        }
        if (auto target = SecondCutTarget(current, options)) {
            if (env.Rename(current, *target)) ++result.renamed;
        }
    }
    env.Completed();
    return result;
}

}  // namespace tsly
