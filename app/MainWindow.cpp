#include "app/MainWindow.h"

#include <QEvent>
#include <QIcon>
#include <QPainter>
#include <QResizeEvent>
#include <QScreen>
#include <QTabBar>

#include "app/MenuBar.h"
#include "app/Pages.h"
#include "app/Startup.h"
#include "app/StatusBar.h"

namespace {

// The area under the menu bar and above the status bar; it lays its children out by hand.
class ClientArea : public QWidget {
  public:
    ClientArea(QWidget* parent, std::function<void(int, int)> layout)
        : QWidget(parent), layout_(std::move(layout)) {}

  protected:
    void resizeEvent(QResizeEvent* event) override {
        layout_(event->size().width(), event->size().height());
    }
    // Black behind the children, without handing a black palette down to the tab strip.
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Qt::black); }

  private:
    std::function<void(int, int)> layout_;
};

}  // namespace

MainWindow::MainWindow(Session& session, MessageService& messages)
    : session_(session), messages_(messages), currentStar_(session.Folders().DatasFolder) {
    setObjectName("NivraClass");
    setWindowTitle("Nivra - Tarnlight");
    setWindowIcon(QIcon(":/nivra/nivra.png"));

    fonts_ = CreateFontTable();

    setMenuBar(CreateMenuBar(this, [this](int command) { Command(command); }));

    client_ =
        new ClientArea(this, [this](int width, int height) { LayoutClientArea(width, height); });
    setCentralWidget(client_);

    tabs_ = new QTabBar(client_);
    tabs_->setObjectName("SysTabControl32");
    tabs_->setExpanding(false);
    tabs_->setUsesScrollButtons(true);
    tabs_->setDrawBase(false);

    statusBar_ = new StatusBar(this);
    statusBar_->setFont(fonts_.UiFont.Font);
    setStatusBar(statusBar_);
    SetStatusText(0, "Welcome");

    toolbar_ = new QWidget(client_);
    toolbar_->setObjectName("NVR_TOOLBAR");
    UseBlackBackground(toolbar_);

    for (int index = 0; index < kPageCount; ++index) {
        pages_[static_cast<std::size_t>(index)] = CreatePage(index, client_);
    }

    tabs_->setFont(fonts_.UiFont.Font);
    toolbar_->setFont(fonts_.UiFont.Font);

    for (int index = 1; index < kPageCount; ++index) {
        pages_[static_cast<std::size_t>(index)]->hide();
    }
    for (const PageSpec& page : kPages) {
        tabs_->addTab(page.Caption);
    }
    tabs_->setCurrentIndex(0);
    ShowPage(0);
    connect(tabs_, &QTabBar::currentChanged, this, [this](int index) { ShowPage(index); });
}

MainWindow::~MainWindow() {
    currentStar_.Release();
}

QWidget* MainWindow::Page(int index) const {
    return index >= 0 && index < kPageCount ? pages_[static_cast<std::size_t>(index)] : nullptr;
}

void MainWindow::ShowOverWorkArea() {
    if (const QScreen* screen = this->screen()) {
        setGeometry(screen->availableGeometry());
    }
    showMaximized();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // Once maximised over the work area the window keeps that size: it has no sizing border.
    if (!sizeLocked_ && isMaximized()) {
        sizeLocked_ = true;
        setFixedSize(event->size());
    }
}

void MainWindow::SetStatusText(int part, const QString& text) {
    statusBar_->SetText(part, text);
}

void MainWindow::Command(int command) {
    DispatchCommand(command, actions_);
}

void MainWindow::LayoutClientArea(int width, int height) {
    tabs_->setGeometry(0, 0, width, kTabStripHeight);
    toolbar_->setGeometry(0, kTabStripHeight, width, kToolbarHeight);
    // Hidden pages are placed too, so each shows at the right size when its tab is chosen.
    const int pageHeight = std::max(0, height - kPagesTop);
    for (QWidget* page : pages_) {
        page->setGeometry(0, kPagesTop, width, pageHeight);
    }
}

void MainWindow::ShowPage(int index) {
    if (index == shownPage_ || Page(index) == nullptr) {
        return;
    }
    if (QWidget* old = Page(shownPage_)) {
        old->hide();
    }
    shownPage_ = index;
    Page(index)->show();
    Page(index)->update();
}
