#pragma once

#include "count_editor.h"

namespace qv::app {

// The concept-note editor: the number of concepts and one label per line
// (the large box `C_Note`), saved into the concept-note folder.
class frmConceptNote final : public CountEditor {
    Q_OBJECT

  public:
    explicit frmConceptNote(AppContext& context, QWidget* parent = nullptr);
};

}  // namespace qv::app
