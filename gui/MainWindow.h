// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QMainWindow>
#include <array>
#include <memory>

#include "charts/ChartPreparation.h"
#include "charts/RenderContract.h"
#include "data/CurrentStar.h"
#include "drawing/Fonts.h"
#include "gui/FindField.h"
#include "gui/MenuCommands.h"
#include "gui/StarComputation.h"
#include "gui/Toolbar.h"
#include "gui/WebBrowser.h"

class ChartBoard;
class DiagramPage;
class InformationPanel;
class MessageService;
class QTabBar;
class StarListView;
class Session;
class StatusBar;

// The frame of the program: from top to bottom the tab strip (24 pixels), the toolbar
// (32 pixels), the page of the selected tab, and the status bar; the menu bar above them.
class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    static constexpr int kTabStripHeight = 24;  // pixels
    static constexpr int kToolbarHeight = 32;   // pixels
    static constexpr int kPagesTop = kTabStripHeight + kToolbarHeight;
    static constexpr int kPageCount = 12;
    // The status-bar part that says why a choice or a command did nothing or less than it should
    // (a star file that cannot be read or is cut short, a link that is no web address, a
    // catalogue without stars); the next star or year choice clears it.
    static constexpr int kProblemPart = 3;
    // The status-bar part that follows the computation of a star's ephemeris file, and says how
    // to make a file the viewer does not compute.
    static constexpr int kComputePart = 5;

    // `echoStatus`: every status-bar text also goes to standard error (--verbose).
    MainWindow(Session& session, MessageService& messages, bool echoStatus = false);
    ~MainWindow() override;

    // Shows the window maximised over the screen's work area. Under a window manager the
    // manager maximises it, frame and title bar inside the work area; without one the window
    // covers the work area itself. Once it is in place its size is fixed (it is never resized by
    // dragging its border).
    void ShowOverWorkArea();

    // Writes `text` into part `part` (0-5) of the status bar.
    void SetStatusText(int part, const QString& text);

    // Runs menu command `command`; an unknown identifier is ignored.
    void Command(int command);

    const FontTable& Fonts() const { return fonts_; }
    CurrentStar& Star() { return currentStar_; }
    QTabBar* Tabs() const { return tabs_; }
    ::Toolbar* Toolbar() const { return toolbar_; }
    InformationPanel* InfoPanel() const { return infoPanel_; }
    StarListView* StarList() const { return starList_; }

    // What the titles of every chart and diagram name: the star whose file is loaded, with its
    // name and the first year drawn as the toolbar showed them at its choice, whatever the
    // toolbar shows since (an orbit-class choice changes the star selector but loads nothing).
    // No star and no year before the first choice, so nothing is drawn.
    ChartTitleInputs TitleInputs() const;
    // The client area as the View chart's vertical scale reads it: the window below its menu bar
    // (pixels).
    QSize ClientSize() const;

    // What a star choice and a year choice in the toolbar do: load the star shown in the star
    // selector, then redraw every chart (a star choice also resets the year and selects the star
    // in the star list); the status bar says "Wait..." first and "Ready" at the end. A star whose
    // file cannot be loaded changes nothing but the status bar, which says so.
    void ChooseStar();
    void ChooseYear();
    // Picks star `id` in the star selector (among every star, when the class shown does not list
    // it) and chooses it; says in the status bar when no class lists it.
    void ChooseStarById(SpkId id);
    // What picking a body in the find field does. A body with an ephemeris file is chosen as in
    // the star selector, from the class shown, else from its own class, else from every star. For
    // a body without one the viewer offers to compute it with the data tool, and chooses it once
    // the file is there; declined, or where the tool cannot make it here (the tool missing, a
    // folder that cannot be written), the status bar says how to make the file, and nothing else
    // changes.
    void ChooseFoundStar(const FoundStar& star);
    // The data tool the viewer runs (tests put their own in).
    void SetDataTool(const QString& path) { dataTool_ = path; }
    StarComputation& Computation() { return *computation_; }

    // Where the web commands find the browser (tests put their own in).
    void SetBrowserLookup(WebBrowser::BrowserLookup lookup) { browserLookup_ = std::move(lookup); }
    QWidget* Page(int index) const;
    StatusBar* Status() const { return statusBar_; }

    // Where the main window sends each group of menu commands; empty groups do nothing.
    CommandActions& Actions() { return actions_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    using StatusWriter = std::function<void(int part, const QString& text)>;
    QWidget* CreateContentPage(int index);
    void ShowStatusNow(const QString& text);
    // Loads star `id` as the current star; when its file cannot be read or is another star's,
    // says so in the status bar and returns false. A file cut short is loaded, and the status
    // bar gives the records it holds.
    bool LoadChosenStar(SpkId id);
    void ChooseStarInItsClass(SpkId id, int orbitClass);
    // The end of a computation started by ChooseFoundStar.
    void StarComputed(SpkId id, const StarComputation::Outcome& outcome);
    // "To make it: nivra-data ephemeris ..." into the computation's part.
    void SayHowToMakeFile(SpkId id);
    ChartPreparationTargets PreparationTargets();
    void OpenWebCommand(int command);
    void ShowAboutBox();
    void SaveChart(const ChartCommand& command);
    struct DiagramInputs DiagramInputsNow() const;
    void LayoutClientArea(int width, int height);
    // Fixes the size once the window, with its frame, fills the work area.
    void LockSizeWhenPlaced();
    void KeepOverWorkArea();
    void ShowPage(int index);

    Session& session_;
    MessageService& messages_;
    FontTable fonts_;
    CurrentStar currentStar_;
    ChartTitleInputs loadedTitle_;  // see TitleInputs
    CommandActions actions_;
    QWidget* client_ = nullptr;
    QTabBar* tabs_ = nullptr;
    ::Toolbar* toolbar_ = nullptr;
    InformationPanel* infoPanel_ = nullptr;
    StarListView* starList_ = nullptr;
    std::unique_ptr<ChartBoard> chartBoard_;
    DiagramPage* orbitsPage_ = nullptr;
    DiagramPage* starOrbitPage_ = nullptr;
    WebBrowser::BrowserLookup browserLookup_;
    QString dataTool_;
    StarComputation* computation_ = nullptr;
    FoundStar computing_;  // the body being computed
    StatusBar* statusBar_ = nullptr;
    std::array<QWidget*, kPageCount> pages_{};
    int shownPage_ = -1;
    bool exposed_ = false;
    bool sizeLocked_ = false;
};
