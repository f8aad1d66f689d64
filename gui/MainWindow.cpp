// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gui/MainWindow.h"

#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QMenuBar>
#include <QPainter>
#include <QResizeEvent>
#include <QScreen>
#include <QShortcut>
#include <QTabBar>
#include <QTimer>
#include <QWindow>

#include "cli/Startup.h"
#include "data/CatalogueQueries.h"
#include "data/CatalogueText.h"
#include "diagrams/DiagramInputs.h"
#include "export/SaveChartImage.h"
#include "gui/AboutBox.h"
#include "gui/BlackBackground.h"
#include "gui/ChartBoard.h"
#include "gui/DiagramPages.h"
#include "gui/InformationPanel.h"
#include "gui/InfosPage.h"
#include "gui/MenuBar.h"
#include "gui/Pages.h"
#include "gui/StarListView.h"
#include "gui/StatusBar.h"

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

MainWindow::MainWindow(Session& session, MessageService& messages, bool echoStatus)
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
    statusBar_->EchoToStandardError(echoStatus);
    statusBar_->setFont(fonts_.UiFont.Font);
    setStatusBar(statusBar_);
    SetStatusText(0, "Welcome");

    const StatusWriter status = [this](int part, const QString& text) {
        SetStatusText(part, text);
    };
    toolbar_ =
        new ::Toolbar(client_, session_.Database(), session_.Folders(), fonts_.UiFont.Font, status);
    connect(toolbar_, &::Toolbar::StarChosen, this, [this] { ChooseStar(); });
    connect(toolbar_, &::Toolbar::YearChosen, this, [this] { ChooseYear(); });
    connect(toolbar_, &::Toolbar::FoundStarPicked, this,
            [this](const FoundStar& star) { ChooseFoundStar(star); });
    auto* find = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this);
    connect(find, &QShortcut::activated, this, [this] {
        toolbar_->FindField()->setFocus(Qt::ShortcutFocusReason);
        toolbar_->FindField()->selectAll();
    });
    dataTool_ = StarComputation::DefaultDataTool();
    computation_ = new StarComputation(this);
    connect(computation_, &StarComputation::Progress, this,
            [this](const QString& text) { SetStatusText(kComputePart, text); });
    connect(
        computation_, &StarComputation::Finished, this,
        [this](SpkId id, const StarComputation::Outcome& outcome) { StarComputed(id, outcome); });

    ChartBoardProviders providers;
    providers.TitleInputs = [this] { return TitleInputs(); };
    providers.MainClientSize = [this] { return ClientSize(); };
    providers.Star = &currentStar_;
    providers.Database = &session_.Database();
    providers.Messages = &messages_;
    chartBoard_ = std::make_unique<ChartBoard>(fonts_, providers);

    for (int index = 0; index < kPageCount; ++index) {
        pages_[static_cast<std::size_t>(index)] = CreateContentPage(index);
    }
    currentStar_.SetRefreshHook([this](const StarFile& star) {
        infoPanel_->ResetInformationRows();
        infoPanel_->FillInformationValues(session_.Database(), star.Header().Id);
    });
    browserLookup_ = WebBrowser::DesktopBrowserLookup();
    actions_.OpenWebPage = [this](int command) { OpenWebCommand(command); };
    actions_.ShowAbout = [this] { ShowAboutBox(); };
    actions_.SaveChart = [this](const ChartCommand& command) { SaveChart(command); };

    tabs_->setFont(fonts_.UiFont.Font);

    for (int index = 1; index < kPageCount; ++index) {
        pages_[static_cast<std::size_t>(index)]->hide();
    }
    for (const PageDescription& page : kPages) {
        tabs_->addTab(page.Caption);
    }
    tabs_->setCurrentIndex(0);
    ShowPage(0);
    connect(tabs_, &QTabBar::currentChanged, this, [this](int index) { ShowPage(index); });

    // A catalogue whose stars cannot be listed (no star table: the empty one made for a folder
    // without a catalogue, or another program's database) leaves every list empty; the status
    // bar says why, the reason before the path, which the part may cut.
    if (!StarListReadable(session_.Database())) {
        SetStatusText(kProblemPart,
                      QString("Stars cannot be listed: %1 in %2")
                          .arg(QString::fromStdString(session_.Database().ErrorText()),
                               QFile::decodeName(session_.Folders().DatabasePath.c_str())));
    }
}

MainWindow::~MainWindow() {
    currentStar_.Release();
}

QWidget* MainWindow::CreateContentPage(int index) {
    const PageDescription& description = kPages[static_cast<std::size_t>(index)];
    if (index < 4)
        return chartBoard_->CreateViewPage(kAllFrames[static_cast<std::size_t>(index)], client_);
    const QString name = description.ClassName;
    if (name == "NVR_ORBITES")
        return orbitsPage_ = CreateOrbitsPage(client_);
    if (name == "NVR_STAR_ORBIT")
        return starOrbitPage_ = CreateStarOrbitPage(client_);
    for (const auto& [className, kind] :
         {std::pair{"NVR_TRVL", ChartKind::Travel},
          std::pair{"NVR_CNST", ChartKind::Constellations},
          std::pair{"NVR_Years", ChartKind::Years}, std::pair{"NVR_Peri", ChartKind::Perihelion}}) {
        if (name == className)
            return chartBoard_->CreateChartPage(kind, client_);
    }
    if (name == "NVR_INFOS") {
        auto* page =
            new InfosPage(client_, QString::fromStdString(session_.Folders().ConfigurationFolder));
        page->setObjectName(description.ClassName);
        infoPanel_ = new InformationPanel(page, fonts_);
        page->SetContent(infoPanel_);
        return page;
    }
    // The one page left, the last of kPages.
    static_assert(std::string_view(kPages.back().ClassName) == "NVR_ALLSTARS");
    auto* page = new FilledPage(client_);
    page->setObjectName(description.ClassName);
    UseBlackBackground(page);
    starList_ =
        new StarListView(page, fonts_, session_.Database(),
                         [this](int part, const QString& text) { SetStatusText(part, text); });
    page->SetContent(starList_);
    return page;
}

void MainWindow::ShowStatusNow(const QString& text) {
    SetStatusText(0, text);
    // The work runs on this thread: the bar is painted now, so each text is seen as it comes.
    statusBar_->repaint();
}

ChartTitleInputs MainWindow::TitleInputs() const {
    return loadedTitle_;
}

QSize MainWindow::ClientSize() const {
    return QSize(width(), height() - (menuBar() != nullptr ? menuBar()->height() : 0));
}

DiagramInputs MainWindow::DiagramInputsNow() const {
    DiagramInputs inputs;
    inputs.Fonts = &fonts_;
    inputs.Database = &session_.Database();
    inputs.Header = currentStar_.Star() != nullptr ? &currentStar_.Star()->Header() : nullptr;
    inputs.Title = TitleInputs();
    return inputs;
}

ChartPreparationTargets MainWindow::PreparationTargets() {
    ChartPreparationTargets targets;
    targets.ShowStatus = [this](const QString& text) { ShowStatusNow(text); };
    targets.RefreshOrbitsPane = [this] { RefreshOrbitsPane(*orbitsPage_, DiagramInputsNow()); };
    targets.RefreshStarOrbitPane = [this] {
        RefreshStarOrbitPane(*starOrbitPage_, DiagramInputsNow());
    };
    targets.RefreshChart = [this](ChartKind kind, const FrameTrack& track, const QString& caption) {
        chartBoard_->RefreshChart(kind, track, caption);
    };
    return targets;
}

void MainWindow::SaveChart(const ChartCommand& command) {
    // The command's messages and its render's are owned by the main window.
    OwnedMessages messages(messages_, this);
    SaveContext context;
    context.Chart = chartBoard_->Context();
    context.Chart.Messages = &messages;
    context.Database = &session_.Database();
    context.ImagesFolder = session_.Folders().ImagesFolder;
    context.SaveParams = session_.ChartImageSaveParams();
    SaveChartImage(command, context);
}

bool MainWindow::LoadChosenStar(SpkId id) {
    const bool loaded = currentStar_.MakeCurrentStar(id) != nullptr;
    const StarLoad& load = currentStar_.LastLoad();
    const QString path =
        QFile::decodeName(StarFilePath(session_.Folders().DatasFolder, id).c_str());
    switch (load.Result) {
        case StarLoad::Status::Loaded:
            SetStatusText(kProblemPart, QString());
            break;
        case StarLoad::Status::CutShort:
            // Drawn as far as it goes; the user is told why the tracks end early.
            SetStatusText(kProblemPart, QString("File cut short: %1 records").arg(load.Records));
            break;
        case StarLoad::Status::OtherStar:
        case StarLoad::Status::Unreadable:
            // The loaded star and its charts stay; the selector stays on the user's pick, so the
            // next arrow key steps on from there.
            SetStatusText(0, "File unreadable");
            SetStatusText(kProblemPart, load.Result == StarLoad::Status::OtherStar
                                            ? QString("%1 holds star %2").arg(path).arg(load.FileId)
                                            : QString("Cannot read %1").arg(path));
            break;
    }
    return loaded;
}

void MainWindow::ChooseStar() {
    const SpkId id = toolbar_->SelectedSpkId();
    if (id == 0 || !LoadChosenStar(id))
        return;
    ShowStatusNow("Wait...");
    toolbar_->ResetYearSelector();
    loadedTitle_ = {toolbar_->SelectedStarName(), toolbar_->SelectedYear()};
    PrepareCharts(currentStar_, PreparationTargets());
    starList_->SelectStar(id);
    ShowStatusNow("Ready");
}

void MainWindow::ChooseStarById(SpkId id) {
    if (!toolbar_->ShowStarInAnyClass(id)) {
        // With a file on disk, the catalogue is what does not list it: no row, a row not marked
        // as having data, or a catalogue that cannot be read.
        const bool hasFile =
            QFileInfo(QFile::decodeName(StarFilePath(session_.Folders().DatasFolder, id).c_str()))
                .isFile();
        SetStatusText(kProblemPart,
                      hasFile ? QString("Star %1 is not listed: no class of the catalogue lists it")
                                    .arg(id)
                              : QString("Star %1 is not listed: it has no ephemeris file").arg(id));
        return;
    }
    ChooseStar();
}

void MainWindow::ChooseStarInItsClass(SpkId id, int orbitClass) {
    if (!toolbar_->ShowStarInItsClass(id, orbitClass)) {
        SetStatusText(kProblemPart,
                      QString("Star %1 is not listed: no class of the catalogue lists it").arg(id));
        return;
    }
    ChooseStar();
}

void MainWindow::SayHowToMakeFile(SpkId id) {
    const ProgramFolders& folders = session_.Folders();
    SetStatusText(kComputePart,
                  "To make it: " +
                      StarComputation::CommandText(folders.DatabasePath, folders.DatasFolder, id));
}

void MainWindow::ChooseFoundStar(const FoundStar& star) {
    const ProgramFolders& folders = session_.Folders();
    // The file as it is now, not as when the list was made.
    if (QFileInfo::exists(QFile::decodeName(StarFilePath(folders.DatasFolder, star.Id).c_str()))) {
        ChooseStarInItsClass(star.Id, star.OrbitClass);
        return;
    }
    if (computation_->Running()) {
        SetStatusText(kProblemPart,
                      QString("%1 has no ephemeris file; choose it again once %2 is computed")
                          .arg(star.FullName, computation_->StarName()));
        return;
    }
    const QString obstacle =
        StarComputation::Obstacle(dataTool_, folders.DatabasePath, folders.DatasFolder);
    if (!obstacle.isEmpty()) {
        SetStatusText(kProblemPart, QString("%1 has no ephemeris file, and the viewer cannot "
                                            "compute it: %2")
                                        .arg(star.FullName, obstacle));
        SayHowToMakeFile(star.Id);
        return;
    }
    const QString question =
        QString(
            "%1 has no ephemeris file.\n\nCompute it now? nivra-data computes its places "
            "from 2000 to 2019 (a second or so) and writes the file into %2.")
            .arg(star.FullName, QFile::decodeName(folders.DatasFolder.c_str()));
    if (!messages_.Ask(question, this)) {
        SetStatusText(kProblemPart, QString("%1 has no ephemeris file").arg(star.FullName));
        SayHowToMakeFile(star.Id);
        return;
    }
    SetStatusText(kProblemPart, QString());
    computing_ = star;
    computation_->Start(dataTool_, folders.DatabasePath, folders.DatasFolder, star.Id,
                        star.FullName);
}

void MainWindow::StarComputed(SpkId id, const StarComputation::Outcome& outcome) {
    const FoundStar star = computing_;
    if (outcome.Result != StarComputation::Outcome::Result::Computed) {
        SetStatusText(kProblemPart,
                      QString("%1 has no ephemeris file: %2").arg(star.FullName, outcome.Why));
        SayHowToMakeFile(id);
        return;
    }
    // The data tool marked the star in a new catalogue put in place of the one this connection
    // reads: the viewer reads the new one, and the All Stars list takes the star in.
    std::string error;
    if (session_.Database().Reopen(error)) {
        if (const std::optional<int> count = starList_->Model().Load(session_.Database()))
            SetStatusText(2, QString::asprintf("%d stars added", *count));
    } else {
        SetStatusText(
            kProblemPart,
            QString("The catalogue cannot be read again: %1").arg(QString::fromLocal8Bit(error)));
    }
    SetStatusText(
        kComputePart,
        QString("%1 computed: %2 records")
            .arg(star.FullName,
                 QLocale(QLocale::English).toString(static_cast<qlonglong>(outcome.Records))));
    ChooseStarInItsClass(id, star.OrbitClass);
}

void MainWindow::ChooseYear() {
    const SpkId id = toolbar_->SelectedSpkId();
    if (id == 0 || !LoadChosenStar(id))
        return;
    ShowStatusNow("Wait...");
    const int year = toolbar_->SelectedYear();
    // The titles give the first year drawn: a year before the file starts at its first record.
    loadedTitle_ = {toolbar_->SelectedStarName(), year > 0 ? currentStar_.SeekYear(year) : year};
    PrepareCharts(currentStar_, PreparationTargets());
    ShowStatusNow("Ready");
}

void MainWindow::OpenWebCommand(int command) {
    using namespace MenuCommand;
    if (command >= kEphemeris && command <= kPhysicalParameter) {
        const StarFile* star = currentStar_.Star();
        if (star == nullptr) {
            messages_.Show("Select a star!", MessageIcon::Error);
            return;
        }
        const StarLink link = command == kEphemeris      ? StarLink::Ephemeris
                              : command == kOrbitDiagram ? StarLink::OrbitDiagram
                                                         : StarLink::PhysicalParameter;
        // A link that does not lie whole inside the file (a damaged file) opens nothing; nor does
        // one that is no web address, which the browser could take for one of its options.
        const std::optional<std::string_view> bytes = star->Link(link);
        const QString address =
            bytes ? QString::fromStdString(CatalogueTextAsUtf8(*bytes)) : QString();
        if (!WebBrowser::IsWebAddress(address)) {
            SetStatusText(kProblemPart, "The star's link is no web address (http or https)");
            return;
        }
        SetStatusText(kProblemPart, QString());
        WebBrowser::OpenWebPage(address, browserLookup_, messages_);
        return;
    }
    const QString address = WebBrowser::FixedPageAddress(command);
    if (!address.isEmpty())
        WebBrowser::OpenWebPage(address, browserLookup_, messages_);
}

void MainWindow::ShowAboutBox() {
    AboutBox about(this, QString::fromStdString(session_.Folders().ConfigurationFolder));
    about.exec();
}

QWidget* MainWindow::Page(int index) const {
    return index >= 0 && index < kPageCount ? pages_[static_cast<std::size_t>(index)] : nullptr;
}

void MainWindow::ShowOverWorkArea() {
    showMaximized();
    if (QWindow* window = windowHandle())
        window->installEventFilter(this);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (!exposed_ && watched == windowHandle() && event->type() == QEvent::Expose) {
        exposed_ = true;
        // A window manager frames the window before it first shows; with no frame there is no
        // manager to maximise it, so the window takes the work area itself.
        const QScreen* screen = this->screen();
        if (windowHandle()->frameMargins().isNull() && screen != nullptr)
            setGeometry(screen->availableGeometry());
        LockSizeWhenPlaced();
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    LockSizeWhenPlaced();
    KeepOverWorkArea();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    LockSizeWhenPlaced();
    KeepOverWorkArea();
}

void MainWindow::LockSizeWhenPlaced() {
    // Sizes seen before the window is shown, or before the manager maximised it, do not count:
    // locking one of them would hold the frame partly off the screen.
    const QScreen* screen = this->screen();
    if (sizeLocked_ || !exposed_ || !isMaximized() || screen == nullptr ||
        frameGeometry() != screen->availableGeometry()) {
        return;
    }
    sizeLocked_ = true;
    setFixedSize(size());
    // The manager's answer to the fixed size (and the frame extents that come with it) may
    // arrive after the last move or resize, so the frame is checked again a little later.
    for (int delay : {100, 400, 1500})
        QTimer::singleShot(delay, this, [this] { KeepOverWorkArea(); });
}

void MainWindow::KeepOverWorkArea() {
    // A window manager may take the maximised state back from a window of fixed size (openbox
    // does) and give it a normal frame: the frame is then fitted to the work area again.
    const QScreen* screen = this->screen();
    if (!sizeLocked_ || isMaximized() || screen == nullptr || windowHandle() == nullptr)
        return;
    const QRect area = screen->availableGeometry();
    const QMargins frame = windowHandle()->frameMargins();
    const QSize client(area.width() - frame.left() - frame.right(),
                       area.height() - frame.top() - frame.bottom());
    if (size() != client)
        setFixedSize(client);
    if (frameGeometry().topLeft() != area.topLeft())
        move(area.topLeft());
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
