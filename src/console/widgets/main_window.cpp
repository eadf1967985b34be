// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/widgets/main_window.h"

#include "console/database_commands.h"
#include "console/presenters/unsaved_edits_guard.h"
#include "console/widgets/about_box.h"
#include "console/widgets/diagnostics_frame.h"
#include "console/widgets/element_tree.h"
#include "console/widgets/image_list.h"
#include "console/widgets/paging_window.h"
#include "console/widgets/ping_indicator.h"
#include "console/widgets/remote_element_name.h"
#include "console/widgets/vu_meter.h"
#include "link/configuration_write.h"
#include "model/notifier.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

// The smallest window that still shows a useful list beside the panel, in logical pixels: it fits 1366x768
// at 100 % and 1920x1080 at 200 %.
constexpr QSize kMinimumSize(800, 500);

QString windowTitleText() {
    //: The main window's title; %1 is the program's version.
    return QCoreApplication::translate("MainWindow", "Ondalink NMS v.%1 - Korvalen Broadcast")
        .arg(programVersion());
}

} // namespace

MainWindow::MainWindow(MainWindowParts parts, const MainWindowSettings &settings, QWidget *parent)
    : QMainWindow(parent), m_notifier(parts.notifier), m_database(parts.database), m_link(parts.link),
      m_level(parts.level), m_discovery(parts.discovery) {
    setObjectName(u"frmMain"_s);
    buildToolbar();
    buildMenus();
    buildCentre();

    m_ping = std::make_unique<PingPresenter>(static_cast<PingView &>(*this), parts.prober, m_notifier,
                                             settings.pingRetryMs);
    connectParts();
    // Room for the panel beside the list's name, address and status columns, within the screen; smaller,
    // the properties scroll.
    setMinimumSize(kMinimumSize);
    QSize size = sizeHint().expandedTo(QSize(1280, 600));
    if (const QScreen *shown = screen())
        size = size.boundedTo(shown->availableSize());
    resize(size);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildToolbar() {
    Toolbar1 = new QToolBar(this);
    Toolbar1->setObjectName(u"Toolbar1"_s);
    Toolbar1->setWindowTitle(tr("Toolbar"));
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    Toolbar1->setIconSize(QSize(32, 32));
    Toolbar1->toggleViewAction()->setEnabled(false);
    addToolBar(Qt::TopToolBarArea, Toolbar1);

    // One row a command: its action's name, text, shortcut and icon, a separator before it, and
    // what it does.
    struct Row {
        Command command;
        const char16_t *objectName;
        const char *text;
        QKeySequence shortcut;
        int image;
        bool separatorBefore;
        void (*run)(MainWindow &);
    };
    const Row rows[] = {
        {Command::Discover, u"actDiscover", QT_TR_NOOP("Discover elements"),
         QKeySequence(Qt::CTRL | Qt::Key_D), kImageDiscover, false, [](MainWindow &w) { w.AutoDiscovery(); }},
        {Command::Refresh, u"actRefresh", QT_TR_NOOP("Refresh list"), QKeySequence(Qt::Key_F5), kImageRefresh,
         false, [](MainWindow &w) { w.Refresh(); }},
        {Command::Save, u"actSave", QT_TR_NOOP("Save changes"), QKeySequence(QKeySequence::Save), kImageSave,
         true, [](MainWindow &w) { w.saveChanges(); }},
        {Command::StartMonitoring, u"actStartMonitoring", QT_TR_NOOP("Start audio monitoring"),
         QKeySequence(Qt::CTRL | Qt::Key_M), kImageStartMonitoring, true,
         [](MainWindow &w) { w.m_level.setEnabled(true); }}, // the commands follow its state
        {Command::StopMonitoring, u"actStopMonitoring", QT_TR_NOOP("Stop audio monitoring"),
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M), kImageStopMonitoring, false,
         [](MainWindow &w) { w.m_level.setEnabled(false); }},
    };
    static_assert(std::size(rows) == kCommandCount);
    for (const Row &row : rows) {
        if (row.separatorBefore) {
            QAction *separator = Toolbar1->addSeparator();
            separator->setObjectName(u"sep%1"_s.arg(Toolbar1->actions().size()));
        }
        const QString text = tr(row.text);
        QAction *action = Toolbar1->addAction(ImageList1(row.image), text);
        action->setObjectName(QString::fromUtf16(row.objectName));
        action->setShortcut(row.shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
        //: A toolbar button's tooltip: %1 its text, %2 its shortcut.
        action->setToolTip(tr("%1 (%2)").arg(text, row.shortcut.toString(QKeySequence::NativeText)));
        connect(action, &QAction::triggered, this, [this, run = row.run] { run(*this); });
        m_commands[static_cast<size_t>(row.command)] = action;
    }
}

// The toolbar's commands once more, where the keyboard and screen readers find them, and Help.
void MainWindow::buildMenus() {
    QMenu *elements = menuBar()->addMenu(tr("&Elements"));
    elements->setObjectName(u"mnuElements"_s);
    elements->addActions(Toolbar1->actions());
    elements->addSeparator();
    // The same as a click on the ping label: tests the shown address, or stops a running retry.
    QAction *ping = elements->addAction(tr("&Ping element"), QKeySequence(Qt::CTRL | Qt::Key_P), this,
                                        [this] { m_ping->lblPing_Click(); });
    ping->setObjectName(u"actPing"_s);
    elements->addSeparator();
    QAction *quit = elements->addAction(tr("&Quit"), QKeySequence::Quit, this, &QWidget::close);
    quit->setObjectName(u"actQuit"_s);
    quit->setMenuRole(QAction::QuitRole);

    QMenu *help = menuBar()->addMenu(tr("&Help"));
    help->setObjectName(u"mnuHelp"_s);
    QAction *about = help->addAction(tr("&About Ondalink NMS"), this, &MainWindow::showAbout);
    about->setObjectName(u"actAbout"_s);
    about->setMenuRole(QAction::AboutRole);
}

void MainWindow::showAbout() {
    QMessageBox *box = buildAboutBox(m_database.path(), this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void MainWindow::buildCentre() {
    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName(u"splitter"_s);
    splitter->setChildrenCollapsible(false);
    // The frames keep clear of the window's edges, so that their borders show.
    splitter->setContentsMargins(4, 2, 4, 4);

    m_diagnostics = new DiagnosticsFrame;
    m_panel = new PropertiesPanel(m_database, m_notifier, static_cast<PanelSurroundings &>(*this));
    m_tree = new ElementTree(m_database, m_notifier, *m_panel->encoderList(), *m_diagnostics->meter());
    new RemoteElementName(*m_panel, *m_tree, this);

    // The properties scroll rather than set the window's size: it fits a small or scaled screen, and a
    // selection never resizes it.
    auto *right = new QScrollArea(splitter);
    right->setObjectName(u"scrProperties"_s);
    right->setWidgetResizable(true);
    right->setFrameShape(QFrame::NoFrame);
    auto *properties = new QWidget;
    auto *rightLayout = new QVBoxLayout(properties);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(m_panel, 1);
    rightLayout->addWidget(m_diagnostics);
    right->setWidget(properties);

    splitter->addWidget(m_tree);
    // Where the elements come from, for an operator who wonders which copy of the database this is.
    m_tree->setToolTip(tr("Element database: %1").arg(QDir::toNativeSeparators(m_database.path())));
    splitter->addWidget(right);
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 3);
    // At least a whole node text (a 16-character name, " [", the MAC and "]", beside its image); at
    // first also its address and its status, the other columns a scroll away.
    m_tree->tree()->setMinimumWidth(m_tree->columnsWidth(ElementListModel::AddressColumn));
    const int listWidth = m_tree->columnsWidth(ElementListModel::LastSeenColumn) + 24;
    splitter->setSizes({listWidth, std::max(listWidth, 1280 - listWidth)});
    setCentralWidget(splitter);
    // The focus starts in the tree: the first thing the operator does is choose an element.
    setTabOrder(m_tree->filterBox(), m_tree->tree());
    setTabOrder(m_tree->tree(), m_panel);
    m_tree->tree()->setFocus();
}

void MainWindow::connectParts() {
    connect(m_tree, &ElementTree::NodeClick, this, &MainWindow::nodeClicked);
    // A node whose section has gone: show what the file holds now, once this click is over.
    connect(m_panel, &PropertiesPanel::sectionMissing, this, &MainWindow::Load_Config, Qt::QueuedConnection);
    connect(&m_link, &ElementLink::reloadTreeRequested, this, [this](bool afterReport) {
        m_tree->Load_Config(!afterReport);
        m_tree->highlight(m_panel->selectedMac());
    });
    connect(&m_link, &ElementLink::elementConfirmed, m_panel, &PropertiesPanel::applyConfirmed);
    connect(&m_level, &LevelMonitor::peakChanged, m_diagnostics, &DiagnosticsFrame::showPeak);
    // A send failure stops monitoring on its own: the buttons follow.
    connect(&m_level, &LevelMonitor::enabledChanged, this,
            [this](bool on) { setMonitoringButtons(!on, on); });
    connect(m_diagnostics, &DiagnosticsFrame::intervalChanged, &m_level, &LevelMonitor::setInterval);
    connect(&m_discovery, &Discovery::starting, this, [this] {
        m_level.setEnabled(false);
        m_tree->emptyLists();
    });
    connect(m_diagnostics->ping()->label(), &ClickableLabel::clicked, m_ping.get(),
            &PingPresenter::lblPing_Click);
    connect(m_ping.get(), &PingPresenter::echoed, this, &MainWindow::pingEchoed);
    connect(m_tree, &ElementTree::reloaded, this, &MainWindow::listReloaded);
    connect(m_panel, &PropertiesPanel::shownElementChanged, this, &MainWindow::shownElementChanged);
    connect(m_tree, &ElementTree::watchAudioToggled, this, &MainWindow::watchAudioToggled);
    connect(m_diagnostics, &DiagnosticsFrame::watchAudioToggled, this,
            [this](bool watched) { Q_EMIT watchAudioToggled(m_panel->selectedMac(), watched); });
    // Last: it goes on after a confirmed Save once the list above has been reloaded.
    m_editsGuard = new UnsavedEditsGuard(
        m_panel->presenter(), m_link, m_notifier, [this] { return saveChanges(); }, this);
}

bool MainWindow::sendSettings(const QString &mac, const KeyValues &settings) {
    // Loaded afresh, as a click would: unsaved edits are asked about first.
    m_tree->selectNode(mac);
    // Kept by unsaved edits, or the element is gone, or the edits' own Save waits for its answer.
    if (m_panel->selectedMac() != mac || m_link.awaitsConfirmation())
        return false;
    m_panel->applySettings(settings);
    return saveChanges() == ElementLink::SaveOutcome::Sent;
}

void MainWindow::addElementActions(const QList<QAction *> &actions) {
    auto *elements = menuBar()->findChild<QMenu *>(u"mnuElements"_s);
    QAction *quit = nullptr;
    for (QAction *action : elements->actions()) {
        if (action->objectName() == u"actQuit"_s)
            quit = action;
    }
    elements->insertSeparator(quit);
    elements->insertActions(quit, actions);
    for (QAction *action : actions) {
        m_tree->addContextAction(action);
        addAction(action); // the shortcuts work while the menu is closed
    }
}

void MainWindow::addDatabaseCommands(const DatabaseCommands &commands) {
    commands.install(*menuBar()->findChild<QMenu *>(u"mnuElements"_s));
    m_tree->addContextAction(commands.action(u"actAddByAddress"_s));
}

ConfigurationWrite MainWindow::shownElement() const {
    return m_panel->shownElement();
}

const QString &MainWindow::shownMac() const {
    return m_panel->selectedMac();
}

std::optional<ElementRole> MainWindow::shownRole() const {
    return m_panel->shownRole();
}

ElementListModel &MainWindow::listModel() const {
    return m_tree->model();
}

const QList<ElementListing> &MainWindow::listing() const {
    return m_tree->listing();
}

void MainWindow::showWatchAudio(bool shown, bool watched) {
    m_diagnostics->showWatchAudio(shown, watched);
}

void MainWindow::nodeClicked(const QString &nodeKey, const QString &nodeText) {
    if (!m_editsGuard->settle([this, nodeKey] { m_tree->selectNode(nodeKey); })) {
        m_tree->highlight(m_panel->selectedMac()); // the list's selection goes back to the shown one
        return;
    }
    m_panel->NodeClick(nodeKey, nodeText);
}

bool MainWindow::Form_Load() {
    setMonitoringButtons(false, false);
    m_database.removeStaleTemporaries(); // what a killed write left beside nms.ini
    Load_Config();
    if (!m_link.open()) {
        const QString holder = m_link.endpointHolder();
        m_notifier.show({MessageId::PortOccupied, holder.isEmpty() ? QStringList{} : QStringList{holder}});
        return false;
    }
    // The ping retry countdown starts at 3 with the ping presenter itself.
    setWindowTitle(windowTitleText());
    return true;
}

void MainWindow::Form_Unload() {
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_panel->flushAttenuationTurn(); // the operator's last turn still reaches the element
    m_link.close();
}

void MainWindow::closeEvent(QCloseEvent *event) {
    if (!m_unloaded && !m_editsGuard->settle([this] { close(); })) {
        event->ignore();
        return;
    }
    Form_Unload();
    QMainWindow::closeEvent(event);
}

void MainWindow::Load_Config() {
    m_tree->Load_Config();
    // A reload after a report keeps the element that is still in the panel marked in the tree.
    m_tree->highlight(m_panel->selectedMac());
}

ElementLink::SaveOutcome MainWindow::saveChanges() {
    const ElementLink::SaveResult saved = m_link.saveConfiguration(m_panel->presenter().pendingEditSummary());
    if (saved.outcome == ElementLink::SaveOutcome::Refused)
        m_panel->focusRefusedField(saved.refusedFields);
    return saved.outcome;
}

void MainWindow::AutoDiscovery() {
    // Asked after the discovery's own question: a No there loses nothing.
    if (!m_discovery.confirm() || !m_editsGuard->settle([this] { runDiscovery(); }))
        return;
    runDiscovery();
}

void MainWindow::runDiscovery() {
    m_panel->ClearPanel();
    m_tree->clearTree();

    ondalink::runPaging(m_discovery, this);
}

void MainWindow::clearPanel() {
    m_panel->ClearPanel();
}

void MainWindow::runPaging(Discovery &discovery) {
    ondalink::runPaging(discovery, this);
}

void MainWindow::selectElement(const QString &mac) {
    m_tree->selectNode(mac);
}

bool MainWindow::settlePendingEdits(std::function<void()> proceed) {
    return m_editsGuard->settle(std::move(proceed));
}

void MainWindow::Refresh() {
    if (!m_editsGuard->settle([this] { Refresh(); }))
        return;
    m_tree->clearTree();
    Load_Config();
    m_panel->ClearPanel();
    m_tree->highlight({}); // the mark follows the emptied panel
}

void MainWindow::setMonitoringButtons(bool startEnabled, bool stopEnabled) {
    action(Command::StartMonitoring)->setEnabled(startEnabled);
    action(Command::StopMonitoring)->setEnabled(stopEnabled);
}

void MainWindow::switchMonitoringOff() {
    m_level.setEnabled(false);
}

void MainWindow::resetLevelDisplay(bool meterEnabled) {
    m_diagnostics->resetLevel(meterEnabled);
}

void MainWindow::setPingNeutral() {
    setPingIndicator(kPingNeutral);
}

// The panel's texts ("<Click to test>", "<Unknown>") neither start nor stop a retry.
void MainWindow::setPingLabel(const QString &text) {
    showPingLabel(text);
}

void MainWindow::attenuationChosen(int position) {
    m_link.sendAttenuation(position);
}

QString MainWindow::elementIp() const {
    return m_panel->elementIp();
}

void MainWindow::showPingLabel(const QString &text) {
    m_diagnostics->ping()->label()->setText(text);
}

void MainWindow::setPingIndicator(IndicatorColour colour) {
    m_diagnostics->ping()->setFillColor(QColor(colour.red, colour.green, colour.blue));
}

} // namespace ondalink
