#pragma once
// Every message box and file, folder or printer question the windows ask goes
// through this interface: the Qt implementation shows real dialogs, the
// scripted one records what was asked and plays prepared answers, so window
// logic is testable without a person.
#include <QColor>
#include <QString>
#include <QStringList>
#include <deque>
#include <optional>
#include <vector>

class QDialog;
class QPrinter;
class QWidget;

namespace lekta::ui {

enum class Icon { None, Information, Warning, Error, Question };

struct MessageBox {
    QString title;
    QString text;
    Icon icon = Icon::None;
    QStringList buttons;  // captions as shown, e.g. "&Yes", "&No"; empty means "OK"
};

struct FolderDialog {
    QString caption;
    QString root;
};

struct FileDialog {
    QString title;
    QString file_name;
    QString filter;        // "Файлы данных|*.db" style: description|patterns pairs (the
                           // description may name its patterns: "Файлы (*.db)|*.db")
    int filter_index = 1;  // first filter selected
    QString default_ext;
    QString initial_dir;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Index of the button pressed; -1 when the box was closed without one.
    virtual int message_box(const MessageBox& box) = 0;
    // The chosen folder, or nothing when cancelled.
    virtual std::optional<QString> select_folder(const FolderDialog& dialog) = 0;
    virtual std::optional<QString> save_file(const FileDialog& dialog) = 0;
    virtual std::optional<QString> open_file(const FileDialog& dialog) = 0;
    // Opens a document (a help file) with the desktop's handler.
    virtual bool open_document(const QString& path) = 0;
    // The printer setup dialog: the operator chooses the printer (or a PDF
    // file) the next print goes to and its page settings, which stay on the
    // printer object. false when cancelled.
    virtual bool printer_setup(QPrinter& printer) = 0;
    // The colour dialog, starting from initial; nothing when cancelled.
    virtual std::optional<QColor> choose_colour(const QColor& initial) = 0;

    // The parent of the boxes: the modal window in front, whose command (or
    // timer) asks, since it blocks every other; with none, the window set
    // here (the main window; may be null). A box parented to a window
    // behind would bring that window forward under a window manager.
    void set_parent(QWidget* parent) { parent_ = parent; }
    QWidget* parent() const;

private:
    QWidget* parent_ = nullptr;
};

// Shows a window's own dialog modally over the window that opens it (a
// dialog several windows open, such as the graph parameters): parented to
// another window, it would bring that one forward with it.
int exec_over(QDialog& dialog, QWidget* opener);

// A file dialog's filter as Qt's file dialog takes it.
QString qt_filter(const QString& filter);

// The dialogs the program shows: the application title and the plain OK box.
QString application_title();
void show_message(Dialogs& dialogs, const QString& text);
// The framework's warning question: title "Warning", buttons "&Yes" and "&No".
bool ask_warning_yes_no(Dialogs& dialogs, const QString& text);

class QtDialogs : public Dialogs {
public:
    int message_box(const MessageBox& box) override;
    std::optional<QString> select_folder(const FolderDialog& dialog) override;
    std::optional<QString> save_file(const FileDialog& dialog) override;
    std::optional<QString> open_file(const FileDialog& dialog) override;
    bool open_document(const QString& path) override;
    bool printer_setup(QPrinter& printer) override;
    std::optional<QColor> choose_colour(const QColor& initial) override;
};

// Records each dialog shown; answers from the queue, then with the defaults
// (first button, cancel for file and folder questions).
class ScriptedDialogs : public Dialogs {
public:
    enum class Kind { Message, Folder, SaveFile, OpenFile, Document, PrinterSetup, Colour };
    struct Shown {
        Kind kind;
        QString title;  // message title, folder caption or file dialog title
        QString text;   // message text, folder root or file name
        QStringList buttons;
        Icon icon = Icon::None;
        QString filter;
        QString default_ext;
        QString initial_dir = {};
        QWidget* parent = nullptr;  // the box's parent when it was shown
    };
    struct Answer {
        int button = 0;                // for messages
        std::optional<QString> path;   // for folder and file questions; for the
                                       // printer setup the PDF file printed to
        std::optional<QColor> colour;  // for the colour dialog
    };

    void answer_button(int index) { answers_.push_back({index, std::nullopt, std::nullopt}); }
    void answer_path(std::optional<QString> path)
    {
        answers_.push_back({0, std::move(path), std::nullopt});
    }
    void answer_colour(std::optional<QColor> colour)
    {
        answers_.push_back({0, std::nullopt, colour});
    }

    int message_box(const MessageBox& box) override;
    std::optional<QString> select_folder(const FolderDialog& dialog) override;
    std::optional<QString> save_file(const FileDialog& dialog) override;
    std::optional<QString> open_file(const FileDialog& dialog) override;
    bool open_document(const QString& path) override;
    bool printer_setup(QPrinter& printer) override;
    std::optional<QColor> choose_colour(const QColor& initial) override;

    const std::vector<Shown>& shown() const { return shown_; }
    QStringList texts() const;
    void clear() { shown_.clear(); }

private:
    void record(Shown shown);
    bool next(Answer& answer);
    // A save or open question: recorded, answered with the next path.
    std::optional<QString> file_question(Kind kind, const FileDialog& dialog);
    std::vector<Shown> shown_;
    std::deque<Answer> answers_;
};

}  // namespace lekta::ui
