#pragma once
// Locale-independent number text: always a "." decimal point, whatever LC_NUMERIC the host
// process has set. Free of shared state; real-time safe (no allocation).

// Writes value in fixed notation with precision decimals (0-17) into out, cut to
// outLen - 1 characters. Non-finite values are written as "nan", "inf" or "-inf".
// Returns the number of characters written; nothing is written when out is null or outLen < 1.
int WDL_FormatFixed(double value, int precision, char* out, int outLen);

// Parses a decimal number ("1.5", "-3", "2e3", surrounding blanks allowed; a leading '+' is
// accepted). Returns false, leaving *value untouched, for null, empty or non-numeric text, for
// trailing characters other than blanks, and for NaN or infinite results.
// When rest is given, trailing text is allowed and *rest points just past the number.
bool WDL_ParseDouble(const char* text, double* value, const char** rest = nullptr);
