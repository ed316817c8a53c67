void getnumcom_placeholder(void) {}
