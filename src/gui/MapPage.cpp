#include "gui/MapPage.h"

#include "gui/FindDialog.h"
#include "gui/Prompts.h"
#include "gui/QtText.h"
#include "gui/WaitCursor.h"
#include "gui/WheelScroll.h"
#include "platform/FileSystem.h"
#include "support/Textutil.h"

#include <QAction>
#include <QFontDatabase>
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

    EMap = new QPlainTextEdit(this);
    EMap->setObjectName(QStringLiteral("EMap"));
    EMap->setReadOnly(true);
    EMap->setLineWrapMode(QPlainTextEdit::NoWrap);
    EMap->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    EMap->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // A caret the keyboard can move: a search starts from it.
    EMap->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    EMap->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    EMap->viewport()->installEventFilter(this);
    connect(EMap->document(), &QTextDocument::contentsChanged, this,
            [this] { FSearchTextValid = false; });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(EMap);

    mnFind = new QAction(tr("&Find"), this);
    mnFind->setObjectName(QStringLiteral("mnFind"));
    mnFind->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    mnFindNext = new QAction(tr("Find next..."), this);
    mnFindNext->setObjectName(QStringLiteral("mnFindNext"));
    mnFindNext->setShortcut(QKeySequence(Qt::Key_F3));
    for (QAction* action : {mnFind, mnFindNext}) {
        // The keys work wherever the focus is on this page, as the popup's shortcuts do.
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
    }
    connect(mnFind, &QAction::triggered, this, &MapPage::mnFindClick);
    connect(mnFindNext, &QAction::triggered, this, &MapPage::mnFindNextClick);

    FMapPup = new QMenu(this);
    FMapPup->setObjectName(QStringLiteral("MapPup"));
    FMapPup->addAction(mnFind);
    FMapPup->addAction(mnFindNext);
    EMap->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(EMap, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { FMapPup->popup(EMap->viewport()->mapToGlobal(pos)); });

    FFindDlg = new FindDialog(this);
    connect(FFindDlg, &FindDialog::find, this, &MapPage::FindDlgFind);
}

MapPage::~MapPage() = default;

void MapPage::SetMapFileName(const QString& fileName) {
    FMapFileName = fileName;
    FLoaded = false;
}

void MapPage::MapViewOutdated() {
    FLoaded = false;
}

void MapPage::Activate() {
    if (FLoaded)
        return;
    FLoaded = true;
    EMap->clear();
    const std::string name = FromQt(FMapFileName);
    if (name.empty() || !ut::fs::FileExists(name))
        return;
    WaitCursor wait;
    const std::string bytes = ut::LoadFileText(ut::fs::ExpandFileName(name));
    EMap->setPlainText(QString::fromLatin1(bytes.data(), qsizetype(bytes.size())));
}

void MapPage::mnFindClick() {
    FFindDlg->Open();
}

void MapPage::FindDlgFind() {
    FFindText = FFindDlg->FindText();
    FFindOptions = FFindDlg->Options();
    FFindDlg->hide();
    // Back to the view, so that the selection shows and F3 works at once.
    window()->activateWindow();
    EMap->setFocus();
    mnFindNextClick();
}

void MapPage::mnFindNextClick() {
    if (FFindText.isEmpty()) {
        mnFindClick();
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

    const int selStart = EMap->textCursor().selectionStart();
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
    EMap->setFocus();
    return true;
}

const std::string& MapPage::SearchText() {
    if (!FSearchTextValid) {
        // The view turns CR LF, CR and LF alike into one paragraph break; every other byte
        // stays one character. Positions in this text are positions in the view.
        QString raw = EMap->document()->toRawText();
        raw.replace(QChar::ParagraphSeparator, u'\n');
        const QByteArray bytes = raw.toLatin1();
        FSearchText.assign(bytes.constData(), size_t(bytes.size()));
        FSearchTextValid = true;
    }
    return FSearchText;
}

void MapPage::SelectHit(int start, int length) {
    QTextCursor cursor(EMap->document());
    cursor.setPosition(start);
    cursor.setPosition(start + length, QTextCursor::KeepAnchor);
    EMap->setTextCursor(cursor);
    EMap->ensureCursorVisible();
}

bool MapPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == EMap->viewport() && event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        // Without word wrap the vertical bar counts lines.
        ApplyWheelRule(*EMap->verticalScrollBar(), wheel->angleDelta().y(), wheel->modifiers(), 1);
        wheel->accept();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace ut::gui
