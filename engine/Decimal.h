// Decimal numbers written straight into a text being built: a drop writes a
// dozen numbers for every picture, and the C library's formatting of each
// costs more than the rest of its line.
#pragma once

// Writes value right-aligned in at least nWidth characters, padded on the
// left with cPad, as "%0*u" or "%*u" would; returns the end. No terminator.
char* PutDecimal(char* p, unsigned value, int nWidth = 0, char cPad = '0');
