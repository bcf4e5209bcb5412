#include "ui/ui.h"

/* Where the program is built without a bridge to assistive technology (no
 * ATK to build with): nothing is told. */
void A11y_Start() {}
