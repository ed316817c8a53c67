namespace lekta { int placeholder_app_placeholder = 0; }
