#include "gui/MapPage.h"

#include "gui/FindDialog.h"
#include "gui/FixedPitchFont.h"
#include "gui/Prompts.h"
#include "gui/QtText.h"
#include "gui/WaitCursor.h"
#include "gui/WheelScroll.h"
#include "platform/FileReader.h"
#include "platform/FileSystem.h"
#include "support/Textutil.h"

#include <QAction>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace ut::gui {

namespace {

/// The view shows the map's bytes one per character (Latin-1), so a text the user types is
/// searched for byte by byte; false when it holds a character no byte stands for.
bool ToViewBytes(const QString& text, std::string& bytes) {
    for (const QChar c : text)
        if (c.unicode() > 0xFF)
            return false;
    const QByteArray latin1 = text.toLatin1();
    bytes.assign(latin1.constData(), size_t(latin1.size()));
    return true;
}

} // namespace

MapPage::MapPage(QWidget* parent, Prompts* prompts) : QWidget(parent), FPrompts(prompts) {
    if (!FPrompts) {
        FOwnPrompts = std::make_unique<MessageBoxPrompts>(this);
        FPrompts = FOwnPrompts.get();
    }

    mapView = new QPlainTextEdit(this);
    mapView->setObjectName(QStringLiteral("mapView"));
    mapView->setReadOnly(true);
    mapView->setLineWrapMode(QPlainTextEdit::NoWrap);
    mapView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mapView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // A caret the keyboard can move: a search starts from it.
    mapView->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    mapView->setFont(FixedPitchFont());
    mapView->viewport()->installEventFilter(this);
    connect(mapView->document(), &QTextDocument::contentsChanged, this,
            [this] { FSearchTextValid = false; });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(mapView);

    findAction = new QAction(tr("&Find"), this);
    findAction->setObjectName(QStringLiteral("findAction"));
    findAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    findNextAction = new QAction(tr("Find next..."), this);
    findNextAction->setObjectName(QStringLiteral("findNextAction"));
    findNextAction->setShortcut(QKeySequence(Qt::Key_F3));
    for (QAction* action : {findAction, findNextAction}) {
        // The keys work wherever the focus is on this page, as the popup's shortcuts do.
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
    }
    connect(findAction, &QAction::triggered, this, &MapPage::showFindDialog);
    connect(findNextAction, &QAction::triggered, this, &MapPage::findNext);

    mapMenu = new QMenu(this);
    mapMenu->setObjectName(QStringLiteral("mapMenu"));
    mapMenu->addAction(findAction);
    mapMenu->addAction(findNextAction);
    mapView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(mapView, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { mapMenu->popup(mapView->viewport()->mapToGlobal(pos)); });

    findDialog = new FindDialog(this);
    connect(findDialog, &FindDialog::find, this, &MapPage::findFromDialog);
}

MapPage::~MapPage() = default;

void MapPage::SetMapFileName(const QString& fileName) {
    FMapFileName = fileName;
    FLoaded = false;
}

void MapPage::MapViewOutdated() {
    FLoaded = false;
}

void MapPage::ShowResult() {
    if (MapFileOfScan)
        if (const QString mapFile = MapFileOfScan(); mapFile != FMapFileName)
            SetMapFileName(mapFile);
    Activate();
}

void MapPage::Activate() {
    if (FLoaded)
        return;
    FLoaded = true;
    mapView->clear();
    const std::string name = FromQt(FMapFileName);
    if (name.empty() || !ut::fs::FileExists(name))
        return;
    WaitCursor wait;
    const std::string bytes = ut::LoadFileText(ut::fs::ExpandFileName(name));
    mapView->setPlainText(QString::fromLatin1(bytes.data(), qsizetype(bytes.size())));
}

void MapPage::showFindDialog() {
    findDialog->Open();
}

void MapPage::findFromDialog() {
    FFindText = findDialog->FindText();
    FFindOptions = findDialog->Options();
    findDialog->hide();
    // Back to the view, so that the selection shows and F3 works at once.
    window()->activateWindow();
    mapView->setFocus();
    findNext();
}

void MapPage::findNext() {
    if (FFindText.isEmpty()) {
        showFindDialog();
        return;
    }
    std::string findText;
    const bool inView = ToViewBytes(FFindText, findText);
    // A text with a character outside the view's range occurs nowhere: searching an empty
    // text gives the same "not found" notice with the text as the user typed it.
    std::string_view text;
    if (inView)
        text = SearchText();
    else
        findText = FromQt(FFindText);
    const auto toQt = [inView](const std::string& message) {
        return inView ? QString::fromLatin1(message.data(), qsizetype(message.size()))
                      : ToQt(message);
    };

    ut::TSearchPrompts prompts;
    prompts.Confirm = [&](const std::string& question) {
        return FPrompts->Confirm(toQt(question));
    };
    prompts.Warn = [&](const std::string& warning) { FPrompts->Warning(toQt(warning)); };

    const int selStart = mapView->textCursor().selectionStart();
    const ut::TFindResult result =
        ut::FindNextInText(text, selStart, findText, FFindOptions, prompts);
    if (result.Outcome == ut::TFindOutcome::Selected)
        SelectHit(result.SelStart, result.SelLength);
}

bool MapPage::PrepareForScreenshot(const QString& findText) {
    Activate();
    std::string what;
    if (!ToViewBytes(findText, what))
        return false;
    const ut::TFindResult result = ut::FindNextInText(SearchText(), 0, what, {}, {});
    if (result.Outcome != ut::TFindOutcome::Selected)
        return false;
    SelectHit(result.SelStart, result.SelLength);
    mapView->setFocus();
    return true;
}

const std::string& MapPage::SearchText() {
    if (!FSearchTextValid) {
        // The view turns CR LF, CR and LF alike into one paragraph break; every other byte
        // stays one character. Positions in this text are positions in the view.
        QString raw = mapView->document()->toRawText();
        raw.replace(QChar::ParagraphSeparator, u'\n');
        const QByteArray bytes = raw.toLatin1();
        FSearchText.assign(bytes.constData(), size_t(bytes.size()));
        FSearchTextValid = true;
    }
    return FSearchText;
}

void MapPage::SelectHit(int start, int length) {
    QTextCursor cursor(mapView->document());
    cursor.setPosition(start);
    cursor.setPosition(start + length, QTextCursor::KeepAnchor);
    mapView->setTextCursor(cursor);
    mapView->ensureCursorVisible();
}

bool MapPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == mapView->viewport() && event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        // Without word wrap the vertical bar counts lines.
        ApplyWheelRule(*mapView->verticalScrollBar(), wheel->angleDelta().y(), wheel->modifiers(),
                       1);
        wheel->accept();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace ut::gui
