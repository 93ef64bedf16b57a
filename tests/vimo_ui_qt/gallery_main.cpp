// The gallery program: every widget kind in one window.
#include "gallery.h"

int main(int argc, char** argv) { return vimo_ui::launch::run_or_exit(gallery::gallery_record(), argc, argv); }
