#pragma once
// The program's eleven windows, created once, in a fixed order, and kept
// until the program ends.
#include <memory>

namespace lekta {

namespace ui {
class Dialogs;
}
class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class Tform6;
class TForm7;
class TForm8;
class TForm9;
class TForm10;
class TForm11;

struct Forms {
    TForm1* Form1 = nullptr;
    TForm2* Form2 = nullptr;
    TForm3* Form3 = nullptr;
    TForm4* Form4 = nullptr;
    TForm5* Form5 = nullptr;
    Tform6* form6 = nullptr;
    TForm7* Form7 = nullptr;
    TForm8* Form8 = nullptr;
    TForm9* Form9 = nullptr;
    TForm10* Form10 = nullptr;
    TForm11* Form11 = nullptr;
};

// Creates every window in order (the main window's creation reads the
// settings and builds the catalogue), shows the splash for 3 seconds and
// destroys it. The caller then shows the main window.
Forms create_forms(ui::Dialogs& dialogs, bool show_splash);

}  // namespace lekta
