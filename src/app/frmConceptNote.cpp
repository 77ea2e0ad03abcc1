#include "frmConceptNote.h"

namespace qv::app {

frmConceptNote::frmConceptNote(AppContext& context, QWidget* parent)
    : CountEditor(context, parent,
                  {QStringLiteral("frmConceptNote"), QStringLiteral("概念註解檔"),
                   QStringLiteral("概念註解檔名稱："), QStringLiteral("概念數："),
                   QStringLiteral("91第一次數學小考"), QStringLiteral("20"),
                   QStringLiteral("C_Note"), &AppContext::conceptNoteFolder, false}) {}

}  // namespace qv::app
