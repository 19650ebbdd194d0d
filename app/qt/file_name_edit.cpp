#include "app/qt/file_name_edit.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>

#include "app/main_form.h"
#include "app/qt/file_filter.h"
#include "app/qt/icons.h"

namespace velmora {

TFileNameEdit::TFileNameEdit(QWidget* parent, std::string_view filter)
    : QLineEdit(parent), FFilter(QString::fromStdString(QtFileDialogFilter(filter))) {
  QAction* browse = addAction(BrowseIcon(), QLineEdit::TrailingPosition);
  browse->setToolTip(QStringLiteral("..."));
  connect(browse, &QAction::triggered, this, &TFileNameEdit::Browse);
}

void TFileNameEdit::Browse() {
  const QString current = QString::fromStdString(UnquotedFileName(text().toStdString()));
  const QString chosen = QFileDialog::getOpenFileName(
      this, QString(), current.isEmpty() ? QString() : QFileInfo(current).absoluteFilePath(),
      FFilter);
  if (!chosen.isEmpty()) {
    setText(QString::fromStdString(QuotedFileNameForField(chosen.toStdString())));
  }
}

} // namespace velmora
