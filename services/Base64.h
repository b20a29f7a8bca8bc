#pragma once
// Base64 for wide text. Binary data travels as 16-bit units, one byte value
// in the low 8 bits of each. No "=" padding is written and no line breaks.
#include <windows.h>

// Fills the process-wide decoding table (decoding also does it on first use).
void BuildBase64DecodeTable();

// Writes the text of nCount bytes and a terminator; the output needs room for
// (nCount * 4 + 2) / 3 + 1 characters. Returns the characters written.
int Base64Encode(const wchar_t* pData, LPWSTR pszOut, int nCount);

// Decodes groups of four characters into three bytes (a last group of two or
// three gives one or two); characters outside the alphabet, "=" included,
// count as 0. The output needs room for length * 3 / 4 units. Returns the
// units written; text shorter than 2 characters gives 0.
int Base64Decode(LPCWSTR pszText, wchar_t* pOut);
