#include "gui/Prompts.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

#include <cstdio>

namespace ut::gui {

void MessageBoxPrompts::ErrorMessage(const QString& text) {
    QMessageBox::critical(FParent, QString(), text);
}

void MessageBoxPrompts::Warning(const QString& text) {
    QMessageBox::warning(FParent, QString(), text);
}

bool MessageBoxPrompts::Confirm(const QString& text) {
    return QMessageBox::question(FParent, QString(), text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
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

bool MessageBoxPrompts::InputQuery(const QString& caption, const QString& prompt, QString& value) {
    QInputDialog dialog(FParent);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    dialog.setTextValue(value);
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
