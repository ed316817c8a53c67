#pragma once
// The graph window and the windows around it: the series selector, the two
// progress windows and the graph parameters dialog.
#include <QDialog>

namespace lekta {

class TForm3 : public QDialog {  // graph window
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);
};

class TForm4 : public QDialog {  // series selector, shown by no command
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent = nullptr);
};

class TForm7 : public QDialog {  // progress while a test opens
    Q_OBJECT
public:
    explicit TForm7(QWidget* parent = nullptr);
};

class TForm9 : public QDialog {  // progress while the catalogue is exported
    Q_OBJECT
public:
    explicit TForm9(QWidget* parent = nullptr);
};

class TForm11 : public QDialog {  // graph parameters
    Q_OBJECT
public:
    explicit TForm11(QWidget* parent = nullptr);
};

}  // namespace lekta
