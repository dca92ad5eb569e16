// The field editors of the main window: how each field shows the image and takes an entry. The
// editors are connected and the image shown field by field with the editing rules; until then the
// window shows its design-time texts.
#include "unit1.h"

void TForm1::ConnectFieldEditors() {}

void TForm1::LoadImageIntoEditor() {}

void TForm1::ShowTone1Fields() {}

void TForm1::ShowTone2Fields() {}

// The mouse over the window: no tone field is the target of F9 and of the tone table any more.
void TForm1::ForgetCurrentToneField() {}

// F9 in the window: the tone table for the current tone field, in Standard Mode.
void TForm1::OpenToneTableFromKey() {}
