// The named character entities of the markup. Inside the working text an
// entity is the escape byte followed by its row's code.
#pragma once

#include "framework/CString.h"

const char kEntityEscape = 0x01;

struct MarkupEntity
{
    const char* name; // nullptr ends the table
    char code;        // assigned at run time: row number + 2
    char character;   // Windows-1252
    wchar_t unicode;  // the same character, drawn whatever the code page
};

extern MarkupEntity g_entityTable[];

// Gives every row its code (row + 2); repeating it changes nothing.
void AssignEntityCodes();

// Every named entity of the text as its escape, as drawing and reading the
// text both take it.
void EscapeEntities(CString& text);
