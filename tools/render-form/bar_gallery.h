// The "bars" picture of render-form: track bars, scroll bars and a database
// navigator in each built-in style.
#pragma once

class TForm;

void BuildBarGallery(TForm* form);
