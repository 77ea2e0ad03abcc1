#pragma once

#include "count_editor.h"

namespace qv::app {

// The item-concept editor: the number of items and one line per item with
// the concepts it involves (the large box `IC`), saved into the item-concept folder.
class frmItemConcept final : public CountEditor {
    Q_OBJECT

  public:
    explicit frmItemConcept(AppContext& context, QWidget* parent = nullptr);
};

}  // namespace qv::app
