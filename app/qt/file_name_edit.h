#pragma once
// A file-name field: a line edit with a browse button that opens the file-open dialog with
// the field's filter, preset to the folder and name in the field.

#include <QLineEdit>

#include "runtime/strings.h"

namespace velmora {

class TFileNameEdit : public QLineEdit {
  Q_OBJECT

public:
  // filter: descriptions and patterns separated by "|".
  TFileNameEdit(QWidget* parent, std::string_view filter);

  void Browse();

private:
  QString FFilter;
};

} // namespace velmora
