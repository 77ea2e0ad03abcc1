#include "frmItemConcept.h"

namespace qv::app {

frmItemConcept::frmItemConcept(AppContext& context, QWidget* parent)
    : CountEditor(context, parent,
                  {QStringLiteral("frmItemConcept"), QStringLiteral("項目所包含概念檔"),
                   QStringLiteral("項目所包含概念檔："), QStringLiteral("請輸入題數："),
                   QStringLiteral("91第一次數學小考"), QStringLiteral("40"), QStringLiteral("IC"),
                   &AppContext::itemConceptFolder, true}) {}

}  // namespace qv::app
