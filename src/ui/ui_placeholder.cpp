namespace lekta { int placeholder_ui_placeholder = 0; }
