// The key rules of the entry fields, shared by the window and the pump
// dialog. Each takes the character code of a typed key (TextBox::onKeyPress)
// and leaves in it what the field takes: the same code, another one, or 0 to
// discard the key. 8 is Backspace, 13 Enter.
#pragma once

namespace rotamet::keyrules {

// Digits and Backspace pass; anything else (Enter too) is discarded.
inline void wholeNumber(int &keyAscii)
{
    if (!((keyAscii >= '0' && keyAscii <= '9') || keyAscii == 8))
        keyAscii = 0;
}

// Digits, "," and Backspace pass; "." is entered as ","; Enter passes, for
// the caller to act on; anything else is discarded.
inline void decimalNumber(int &keyAscii)
{
    if ((keyAscii >= '0' && keyAscii <= '9') || keyAscii == ',' || keyAscii == 8 || keyAscii == 13)
        return;
    if (keyAscii == '.') {
        keyAscii = ',';
        return;
    }
    keyAscii = 0;
}

// A pump code: digits, capital letters and Backspace pass; a small letter is
// entered as its capital; anything else is discarded.
inline void pumpCode(int &keyAscii)
{
    if (keyAscii >= 'a' && keyAscii <= 'z') {
        keyAscii = keyAscii - 'a' + 'A';
        return;
    }
    if (!((keyAscii >= '0' && keyAscii <= '9') || (keyAscii >= 'A' && keyAscii <= 'Z') || keyAscii == 8))
        keyAscii = 0;
}

}  // namespace rotamet::keyrules
