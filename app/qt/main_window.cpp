#include "app/qt/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>

#include "app/main_form.h"
#include "app/qt/file_name_edit.h"
#include "app/qt/icons.h"

namespace velmora {

namespace {

QString Q(const NarrowString& text) {
  return QString::fromStdString(text);
}

QLabel* CreateLabel(QWidget* page, const char* name, const char* caption, int left, int top,
                    QWidget* buddy) {
  auto* label = new QLabel(QString::fromUtf8(caption), page);
  label->setObjectName(name);
  label->setBuddy(buddy);
  label->move(left, top);
  label->adjustSize();
  return label;
}

QToolButton* CreateCommandButton(QWidget* page, const char* name, const QIcon& icon) {
  auto* button = new QToolButton(page);
  button->setObjectName(name);
  button->setIcon(icon);
  button->setIconSize(QSize(16, 16));
  button->setAutoRaise(true);
  button->setFocusPolicy(Qt::NoFocus);
  button->setGeometry(352, 11, 23, 22);
  return button;
}

} // namespace

TQtMainWindow::TQtMainWindow() {
  setObjectName("frmMain");
  QFont windowFont = font();
  windowFont.setPointSize(8);
  setFont(windowFont);

  auto* panel = new QFrame(this);
  panel->setObjectName("pmMain");
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel->setLineWidth(1);
  auto* panelLayout = new QVBoxLayout(panel);
  panelLayout->setContentsMargins(1, 1, 1, 1);
  FPages = new QTabWidget(panel);
  FPages->setObjectName("pgMain");
  // All three tabs stay in sight; the window grows to fit them if the font needs it.
  FPages->setUsesScrollButtons(false);
  panelLayout->addWidget(FPages);
  FPages->addTab(CreateImportPage(), QStringLiteral("1 - Import from Mobius"));
  FPages->addTab(CreateSelectPage(), QStringLiteral("2 - Select Contacts"));
  FPages->addTab(CreateOutputPage(), QStringLiteral("3 - Export to Phoner"));
  setCentralWidget(panel);
  CreateStatusBar();

  FSystemMenu = new QMenu(this);
  resize(392, 173);
  move(297, 169);
}

QWidget* TQtMainWindow::CreateImportPage() {
  auto* page = new QWidget;
  page->setObjectName("tsLMC");
  FLMCFile = new TFileNameEdit(page, kLMCFileFilter);
  FLMCFile->setObjectName("feLMCFile");
  FLMCFile->setGeometry(120, 12, 225, 21);
  FLMCFile->setText(QStringLiteral("Mobius.lmc"));
  CreateLabel(page, "Label1", "&Mobius Backup-File:", 8, 16, FLMCFile);
  FImportButton = CreateCommandButton(page, "btnImport", ImportIcon());
  connect(FImportButton, &QToolButton::clicked, this, [this] {
    if (FForm) {
      FForm->ImportButtonClicked();
    }
  });
  return page;
}

QWidget* TQtMainWindow::CreateSelectPage() {
  auto* page = new QWidget;
  page->setObjectName("tsSelect");
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  FSelectList = new QTreeWidget(page);
  FSelectList->setObjectName("lvSelect");
  FSelectList->setColumnCount(2);
  FSelectList->setHeaderLabels({QStringLiteral("Device"), QStringLiteral("Date")});
  FSelectList->setColumnWidth(0, 100);
  FSelectList->header()->setStretchLastSection(true);
  FSelectList->setRootIsDecorated(false);
  FSelectList->setUniformRowHeights(true);
  FSelectList->setSelectionBehavior(QAbstractItemView::SelectRows);
  FSelectList->setSelectionMode(QAbstractItemView::SingleSelection);
  FSelectList->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // The selection stays visible when the list loses the focus.
  QPalette palette = FSelectList->palette();
  palette.setColor(QPalette::Inactive, QPalette::Highlight,
                   palette.color(QPalette::Active, QPalette::Highlight));
  palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                   palette.color(QPalette::Active, QPalette::HighlightedText));
  FSelectList->setPalette(palette);
  FSelectList->viewport()->installEventFilter(this);
  layout->addWidget(FSelectList);
  return page;
}

QWidget* TQtMainWindow::CreateOutputPage() {
  auto* page = new QWidget;
  page->setObjectName("tsOutput");
  FOutFile = new TFileNameEdit(page, kOutFileFilter);
  FOutFile->setObjectName("feOutFile");
  FOutFile->setGeometry(120, 12, 225, 21);
  FOutFile->setText(QStringLiteral("BUCH.ADR"));
  FCountryCode = new QSpinBox(page);
  FCountryCode->setObjectName("seCountryCode");
  FCountryCode->setRange(INT_MIN, INT_MAX);
  FCountryCode->setSingleStep(1);
  FCountryCode->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  FCountryCode->setValue(49);
  FCountryCode->setGeometry(288, 40, 57, 21);
  CreateLabel(page, "Label2", "&Phoner Adress File:", 8, 16, FOutFile);
  CreateLabel(page, "Label3", "&Country Code:", 8, 44, FCountryCode);
  FExportButton = CreateCommandButton(page, "btnExport", ExportIcon());
  connect(FExportButton, &QToolButton::clicked, this, [this] {
    if (FForm) {
      FForm->ExportButtonClicked();
    }
  });
  return page;
}

void TQtMainWindow::CreateStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName("sbStatus");
  bar->setFixedHeight(19);
  const int widths[2] = {150, 50};
  for (int i = 0; i < 2; ++i) {
    FStatusPanels[i] = new QLabel(bar);
    FStatusPanels[i]->setObjectName(QStringLiteral("sbStatusPanel%1").arg(i));
    FStatusPanels[i]->setFixedWidth(widths[i]);
    FStatusPanels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bar->addWidget(FStatusPanels[i]);
  }
}

TFileNameEdit* TQtMainWindow::Field(TFileNameField field) const {
  return field == feLMCFile ? FLMCFile : FOutFile;
}

void TQtMainWindow::SetCaption(const NarrowString& caption) {
  setWindowTitle(Q(caption));
}

TWindowPlacement TQtMainWindow::Placement() const {
  TWindowPlacement placement;
  const Qt::WindowStates state = windowState();
  if (state & Qt::WindowMinimized) {
    placement.ShowCmd = kShowMinimized;
    if (state & Qt::WindowMaximized) {
      placement.Flags |= kPlacementRestoreToMaximized;
    }
  } else if (state & Qt::WindowMaximized) {
    placement.ShowCmd = kShowMaximized;
  }
  // The client area's position and size: X11 window managers add the frame only when the
  // window is mapped, so a frame position could not be given back exactly on the next run.
  const QRect normal =
      (state & (Qt::WindowMinimized | Qt::WindowMaximized)) ? normalGeometry() : geometry();
  placement.NormalPosition = {normal.left(), normal.top(), normal.left() + normal.width(),
                              normal.top() + normal.height()};
  return placement;
}

void TQtMainWindow::SetPlacement(const TWindowPlacement& placement) {
  const TRect& r = placement.NormalPosition;
  QRect wanted(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
  QScreen* screen = QGuiApplication::screenAt(wanted.center());
  if (!screen) {
    screen = QGuiApplication::primaryScreen();
  }
  // The layout sets how small the window can get; the stored size may be smaller.
  if (layout()) {
    layout()->activate();
  }
  QSize size = wanted.size();
  if (screen) {
    size = size.boundedTo(screen->availableGeometry().size());
  }
  wanted.setSize(size.expandedTo(minimumSize()).boundedTo(maximumSize()));
  // Keep the window, at the size it gets, on the visible screen area; one larger than the
  // area keeps its top left corner on it.
  if (screen) {
    const QRect area = screen->availableGeometry();
    wanted.moveLeft(
        std::max(area.left(), std::min(wanted.left(), area.right() - wanted.width() + 1)));
    wanted.moveTop(
        std::max(area.top(), std::min(wanted.top(), area.bottom() - wanted.height() + 1)));
  }
  setGeometry(wanted);
}

bool TQtMainWindow::IsVisible() const {
  return isVisible();
}

TWindowState TQtMainWindow::WindowState() const {
  if (isMinimized()) {
    return wsMinimized;
  }
  return isMaximized() ? wsMaximized : wsNormal;
}

void TQtMainWindow::SetWindowState(TWindowState state) {
  switch (state) {
  case wsNormal:
    setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    break;
  case wsMinimized:
    setWindowState(windowState() | Qt::WindowMinimized);
    break;
  case wsMaximized:
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
    break;
  }
}

void TQtMainWindow::PostApplicationMinimize() {
  QTimer::singleShot(0, this, [this] { showMinimized(); });
}

bool TQtMainWindow::IsApplicationMinimized() const {
  return isMinimized();
}

TScreenMetrics TQtMainWindow::Screen() const {
  TScreenMetrics metrics;
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    metrics.Width = screen->size().width();
    metrics.Height = screen->size().height();
    metrics.PixelsPerInch = qRound(screen->logicalDotsPerInch());
  }
  return metrics;
}

void TQtMainWindow::AppendSystemMenuSeparator() {
  FSystemMenu->addSeparator();
}

void TQtMainWindow::AppendSystemMenuItem(int commandId, const NarrowString& caption) {
  QAction* action = FSystemMenu->addAction(Q(caption));
  connect(action, &QAction::triggered, this, [this, commandId] {
    if (FForm) {
      FForm->HandleSystemCommand(commandId);
    }
  });
}

void TQtMainWindow::ShowAboutBox(const NarrowString& applicationName, const NarrowString& text) {
  QMessageBox box(this);
  box.setWindowTitle(QStringLiteral("Info über ") + Q(applicationName));
  box.setText(Q(text).replace(QLatin1Char('\r'), QLatin1Char('\n')));
  box.setIconPixmap(QApplication::windowIcon().pixmap(32, 32));
  box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
  box.exec();
}

void TQtMainWindow::ShowErrorBox(const NarrowString& title, const NarrowString& message) {
  QMessageBox box(QMessageBox::Critical, Q(title), Q(message), QMessageBox::NoButton, this);
  box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
  box.exec();
}

void TQtMainWindow::ProcessMessages() {
  QCoreApplication::processEvents();
}

void TQtMainWindow::SetActivePage(TMainPage page) {
  FPages->setCurrentIndex(page);
}

void TQtMainWindow::ClearRows() {
  FSelectList->clear();
}

int TQtMainWindow::AppendRow(const NarrowString& caption, const NarrowString& subItem,
                             TRowData data) {
  auto* item = new QTreeWidgetItem(FSelectList, {Q(caption), Q(subItem)});
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
  item->setCheckState(0, Qt::Unchecked);
  item->setData(0, Qt::UserRole, QVariant::fromValue(data));
  return FSelectList->topLevelItemCount() - 1;
}

void TQtMainWindow::CheckSelectAndShowRow(int row) {
  if (QTreeWidgetItem* item = FSelectList->topLevelItem(row)) {
    item->setCheckState(0, Qt::Checked);
    FSelectList->setCurrentItem(item);
    FSelectList->scrollToItem(item, QAbstractItemView::EnsureVisible);
  }
}

int TQtMainWindow::SelectedRow() const {
  const QList<QTreeWidgetItem*> selected = FSelectList->selectedItems();
  return selected.isEmpty() ? kNoRow : FSelectList->indexOfTopLevelItem(selected.first());
}

TRowData TQtMainWindow::RowData(int row) const {
  const QTreeWidgetItem* item = FSelectList->topLevelItem(row);
  return item ? item->data(0, Qt::UserRole).value<void*>() : nullptr;
}

void TQtMainWindow::SetStatusText(int panel, const NarrowString& text) {
  if (panel == 0 || panel == 1) {
    FStatusPanels[panel]->setText(Q(text));
  }
}

NarrowString TQtMainWindow::FileNameText(TFileNameField field) const {
  return Field(field)->text().toStdString();
}

void TQtMainWindow::SetFileNameText(TFileNameField field, const NarrowString& text) {
  Field(field)->setText(Q(text));
}

NarrowString TQtMainWindow::CountryCodeText() const {
  return FCountryCode->text().toStdString();
}

int TQtMainWindow::CountryCodeValue() const {
  return FCountryCode->value();
}

void TQtMainWindow::SetCountryCodeValue(int value) {
  FCountryCode->setValue(value);
}

bool TQtMainWindow::AskQuestion(const NarrowString& text) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Warnung"), Q(text), QMessageBox::NoButton,
                  this);
  QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
  QPushButton* cancel = box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
  box.setDefaultButton(ok);
  box.setEscapeButton(cancel);
  box.exec();
  return box.clickedButton() == ok;
}

void TQtMainWindow::SetCommandsEnabled(bool enabled) {
  FImportButton->setEnabled(enabled);
  FExportButton->setEnabled(enabled);
}

void TQtMainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // A spontaneous show is the window coming back from minimized, not being shown.
  if (!event->spontaneous() && FForm) {
    FForm->HandleShow();
  }
}

void TQtMainWindow::closeEvent(QCloseEvent* event) {
  if (FForm) {
    FForm->HandleClose();
  }
  event->accept();
}

void TQtMainWindow::contextMenuEvent(QContextMenuEvent* event) {
  if (!FSystemMenu->isEmpty()) {
    FSystemMenu->exec(event->globalPos());
  }
}

bool TQtMainWindow::eventFilter(QObject* watched, QEvent* event) {
  // Tool tips only for cell texts that the column cuts off.
  if (watched == FSelectList->viewport() && event->type() == QEvent::ToolTip) {
    const auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = FSelectList->indexAt(help->pos());
    if (index.isValid()) {
      const QString text = index.data().toString();
      const QRect cell = FSelectList->visualRect(index);
      const int textWidth = FSelectList->fontMetrics().horizontalAdvance(text);
      const int room = cell.width() - (index.column() == 0 ? 28 : 8);
      if (textWidth > room) {
        QToolTip::showText(help->globalPos(), text, FSelectList->viewport(), cell);
        return true;
      }
    }
    QToolTip::hideText();
    event->ignore();
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

} // namespace velmora
