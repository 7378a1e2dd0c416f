#pragma once
// Key filters that several fields share. A filter gets every typed character and backspace
// ('\b'), and returns the character to insert or 0 to drop the key.
namespace zorvan {

// Digits, and backspace to delete one.
char FilterDigitKey(char key);

}  // namespace zorvan
