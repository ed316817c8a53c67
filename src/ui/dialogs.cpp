#include "ui/dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QUrl>

namespace lekta::ui {

QString application_title()
{
    const QString name = QApplication::applicationDisplayName();
    return name.isEmpty() ? QApplication::applicationName() : name;
}

void show_message(Dialogs& dialogs, const QString& text)
{
    dialogs.message_box({application_title(), text, Icon::None, {"OK"}});
}

bool ask_warning_yes_no(Dialogs& dialogs, const QString& text)
{
    return dialogs.message_box({"Warning", text, Icon::Warning, {"&Yes", "&No"}}) == 0;
}

namespace {

// The program's texts break lines the Windows way ("\r\n", or a lone "\r");
// Qt wants "\n".
QString display_text(QString text)
{
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    return text;
}

}  // namespace

QString qt_filter(const QString& filter)
{
    // "Описание|*.a;*.b|Другое (*.c)|*.c" -> "Описание (*.a *.b);;Другое (*.c)":
    // a description that names its patterns already keeps them once.
    const QStringList parts = filter.split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = " (" + QString(parts[i + 1]).replace(';', ' ') + ")";
        out << (parts[i].endsWith(patterns) ? parts[i] : parts[i] + patterns);
    }
    return out.join(";;");
}

QWidget* Dialogs::parent() const
{
    QWidget* front = QApplication::activeModalWidget();
    return front ? front : parent_;
}

int exec_over(QDialog& dialog, QWidget* opener)
{
    if (opener && dialog.parentWidget() != opener)
        dialog.setParent(opener, dialog.windowFlags());
    return dialog.exec();
}

int QtDialogs::message_box(const MessageBox& box)
{
    QMessageBox mb(parent());
    mb.setWindowTitle(box.title);
    mb.setText(display_text(box.text));
    switch (box.icon) {
    case Icon::None: mb.setIcon(QMessageBox::NoIcon); break;
    case Icon::Information: mb.setIcon(QMessageBox::Information); break;
    case Icon::Warning: mb.setIcon(QMessageBox::Warning); break;
    case Icon::Error: mb.setIcon(QMessageBox::Critical); break;
    case Icon::Question: mb.setIcon(QMessageBox::Question); break;
    }
    const QStringList captions = box.buttons.isEmpty() ? QStringList{"OK"} : box.buttons;
    std::vector<QPushButton*> buttons;
    for (const QString& c : captions)
        buttons.push_back(
            mb.addButton(c, buttons.empty() ? QMessageBox::AcceptRole : QMessageBox::RejectRole));
    mb.setDefaultButton(buttons.front());
    mb.exec();
    for (size_t i = 0; i < buttons.size(); ++i)
        if (mb.clickedButton() == buttons[i])
            return static_cast<int>(i);
    return -1;
}

std::optional<QString> QtDialogs::select_folder(const FolderDialog& dialog)
{
    QString root = dialog.root;
    if (root == "\\\\" || root == "\\")
        root = "/";
    const QString dir = QFileDialog::getExistingDirectory(parent(), dialog.caption, root);
    if (dir.isEmpty())
        return std::nullopt;
    return dir;
}

std::optional<QString> QtDialogs::save_file(const FileDialog& dialog)
{
    QFileDialog fd(parent(), dialog.title, dialog.initial_dir, qt_filter(dialog.filter));
    fd.setAcceptMode(QFileDialog::AcceptSave);
    fd.setDefaultSuffix(
        QString(dialog.default_ext).remove(0, dialog.default_ext.startsWith('.') ? 1 : 0));
    fd.selectFile(dialog.file_name);
    const QStringList filters = fd.nameFilters();
    if (dialog.filter_index >= 1 && dialog.filter_index <= filters.size())
        fd.selectNameFilter(filters[dialog.filter_index - 1]);
    if (fd.exec() != QDialog::Accepted || fd.selectedFiles().isEmpty())
        return std::nullopt;
    return fd.selectedFiles().front();
}

std::optional<QString> QtDialogs::open_file(const FileDialog& dialog)
{
    const QString f = QFileDialog::getOpenFileName(parent(), dialog.title, dialog.initial_dir,
                                                   qt_filter(dialog.filter));
    if (f.isEmpty())
        return std::nullopt;
    return f;
}

bool QtDialogs::open_document(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool ScriptedDialogs::open_document(const QString& path)
{
    record({Kind::Document, {}, path, {}, Icon::None, {}, {}, {}, nullptr});
    return true;
}

bool QtDialogs::printer_setup(QPrinter& printer)
{
    QPrintDialog dialog(&printer, parent());
    return dialog.exec() == QDialog::Accepted;
}

std::optional<QColor> QtDialogs::choose_colour(const QColor& initial)
{
    const QColor c = QColorDialog::getColor(initial, parent());
    if (!c.isValid())
        return std::nullopt;
    return c;
}

std::optional<QColor> ScriptedDialogs::choose_colour(const QColor& initial)
{
    record({Kind::Colour, {}, initial.name(), {}, Icon::None, {}, {}, {}, nullptr});
    Answer a;
    if (!next(a))
        return std::nullopt;
    return a.colour;
}

bool ScriptedDialogs::printer_setup(QPrinter& printer)
{
    record({Kind::PrinterSetup, {}, {}, {}, Icon::None, {}, {}, {}, nullptr});
    Answer a;
    if (!next(a) || !a.path)
        return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(*a.path);
    return true;
}

void ScriptedDialogs::record(Shown shown)
{
    shown.parent = parent();
    shown_.push_back(std::move(shown));
}

bool ScriptedDialogs::next(Answer& answer)
{
    if (answers_.empty())
        return false;
    answer = std::move(answers_.front());
    answers_.pop_front();
    return true;
}

int ScriptedDialogs::message_box(const MessageBox& box)
{
    record({Kind::Message, box.title, box.text, box.buttons, box.icon, {}, {}, {}, nullptr});
    Answer a;
    return next(a) ? a.button : 0;
}

std::optional<QString> ScriptedDialogs::select_folder(const FolderDialog& dialog)
{
    record({Kind::Folder, dialog.caption, dialog.root, {}, Icon::None, {}, {}, {}, nullptr});
    Answer a;
    if (!next(a))
        return std::nullopt;
    return a.path;
}

std::optional<QString> ScriptedDialogs::file_question(Kind kind, const FileDialog& dialog)
{
    record({kind,
            dialog.title,
            dialog.file_name,
            {},
            Icon::None,
            dialog.filter,
            dialog.default_ext,
            dialog.initial_dir,
            nullptr});
    Answer a;
    if (!next(a))
        return std::nullopt;
    return a.path;
}

std::optional<QString> ScriptedDialogs::save_file(const FileDialog& dialog)
{
    return file_question(Kind::SaveFile, dialog);
}

std::optional<QString> ScriptedDialogs::open_file(const FileDialog& dialog)
{
    return file_question(Kind::OpenFile, dialog);
}

QStringList ScriptedDialogs::texts() const
{
    QStringList out;
    for (const auto& s : shown_)
        if (s.kind == Kind::Message)
            out << s.text;
    return out;
}

}  // namespace lekta::ui
