#include "MemoMove.h"

#include "CreateWithoutOverwriting.h"
#include "RemoveFile.h"

namespace utility {

MoveOutcome moveWithoutOverwriting(const QString& fromPath, const QString& toPath, QString* error)
{
    if (error)
        error->clear();
    switch (createWithoutOverwriting(fromPath, toPath, error)) {
    case CreateOutcome::Exists:
        return MoveOutcome::TargetExists;
    case CreateOutcome::Failed:
        return MoveOutcome::CopyFailed;
    case CreateOutcome::Created:
        break;
    }
    return removeFile(fromPath, error) ? MoveOutcome::Moved : MoveOutcome::SourceKept;
}

} // namespace utility
