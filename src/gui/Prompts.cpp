#include "gui/Prompts.h"

#include "gui/Application.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

#include <cstdio>

namespace ut::gui {

namespace {

// Room in a title bar besides the title: the window's icon and its buttons.
constexpr int TitleBarExtras = 120;

} // namespace

QString ApplicationTitle() {
    const Application* app = Application::Instance();
    if (app && !app->Title().isEmpty())
        return app->Title();
    return QStringLiteral("Uni-Trace");
}

void MessageBoxPrompts::ErrorMessage(const QString& text) {
    QMessageBox::critical(FParent, ApplicationTitle(), text);
}

void MessageBoxPrompts::Warning(const QString& text) {
    QMessageBox::warning(FParent, ApplicationTitle(), text);
}

bool MessageBoxPrompts::Confirm(const QString& text) {
    return QMessageBox::question(FParent, ApplicationTitle(), text,
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

QString MessageBoxPrompts::OpenFileName(const QString& title, const QString& directory,
                                        const QStringList& nameFilters) {
    QFileDialog dialog(FParent, title, directory);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(nameFilters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

QString MessageBoxPrompts::SaveFileName(const QString& title, const QString& fileName,
                                        const QStringList& nameFilters) {
    QFileDialog dialog(FParent, title);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(nameFilters);
    dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

bool MessageBoxPrompts::InputQuery(const QString& caption, const QString& prompt, QString& value) {
    QInputDialog dialog(FParent);
    dialog.setWindowTitle(caption.isEmpty() ? ApplicationTitle() : caption);
    dialog.setLabelText(prompt);
    dialog.setTextValue(value);
    // The box is as wide as its title needs, not only as its prompt and edit need; its
    // layout takes its width from the edit.
    if (auto* edit = dialog.findChild<QLineEdit*>())
        edit->setMinimumWidth(dialog.fontMetrics().horizontalAdvance(dialog.windowTitle()) +
                              TitleBarExtras);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    value = dialog.textValue();
    return true;
}

void ConsolePrompts::ErrorMessage(const QString& text) {
    std::fprintf(stderr, "error: %s\n", qPrintable(text));
}

void ConsolePrompts::Warning(const QString& text) {
    std::fprintf(stderr, "warning: %s\n", qPrintable(text));
}

bool ConsolePrompts::Confirm(const QString& text) {
    std::fprintf(stderr, "question (answered No): %s\n", qPrintable(text));
    return false;
}

QString ConsolePrompts::OpenFileName(const QString&, const QString&, const QStringList&) {
    return QString();
}

QStringList NameFiltersFromPairs(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
            const QString pattern = p.trimmed();
            if (pattern == QLatin1String("*.*")) {
                patterns << QStringLiteral("*");
                continue;
            }
            patterns << pattern;
            // Sources written on a case-insensitive system may carry any letter case.
            if (pattern.toUpper() != pattern)
                patterns << pattern.toUpper();
        }
        out << parts[i] + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return out;
}

} // namespace ut::gui
