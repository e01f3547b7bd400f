// sql_layout.h - the layout of an SQL statement for display: line wrapping
// at a width, indentation, line breaks before SQL keywords, quoted literals
// kept intact.
#ifndef COMMON_SQL_LAYOUT_H
#define COMMON_SQL_LAYOUT_H

#include <cstdint>

class CCommonString;

/// 1 when text starts with one of "from ", "where ", "values ", "insert ",
/// "as ", "order ", "having ", "group ", "and ", "set " (the space
/// included), ignoring case; 0 otherwise and for null.
int IsSqlBreakKeyword(const char *text);

/// Lays out statement into out.  Leading white space is dropped.  A line
/// that reaches width is broken before the next word, and the following
/// line starts with two spaces after indent ("\n", indent spaces, "  ");
/// a line holding nothing yet is not broken again, so a word longer than
/// the width stands alone on its line.  With breakAtKeywords, separators
/// (space, comma, HT, CR, LF) collapse into one space or comma and a break
/// keyword starts a new line at indent; without it, a CR/LF run becomes a
/// space and a new line.  Quoted literals (single or double quotes,
/// doubled quotes inside) are copied unchanged and never broken.  With
/// bracketStatements and a ";" in the statement, the result is enclosed in
/// "[" and "]"; otherwise a non-empty result that does not end in ";" gets
/// one.  Returns 1, or 0 when storage was not obtained.
int FormatSqlStatement(CCommonString &out, const CCommonString &statement, int breakAtKeywords,
                       int bracketStatements, uint32_t indent, uint32_t width);

#endif  // COMMON_SQL_LAYOUT_H
