#include "lyriceditor/LrcSaveRun.h"

#include "lyriceditor/VersletStrings.h"
#include "shell/AtomicFile.h"

RunOutcome LrcSaveRun::Run(const LrcSaveJob& job) {
    if (!job.header.Complete()) {
        return {VersletStrings::kIncompleteInfo};
    }
    m_observer.onProgress(kSavingText, VersletStrings::kSaving);
    std::string error;
    if (!writeFileAtomically(job.path, lrcFileText(job.header, job.rows), &error)) {
        return {std::string(VersletStrings::kSaveFailed) + ": " + error};
    }
    m_observer.onProgress(kSavedText, VersletStrings::kSaved);
    return {};
}
