// Numeric helpers: binomial coefficients, integer powers and the number
// formats of reports and listings.
#pragma once

#include <cstdint>
#include <string>

#include "types/xnum.h"

// Binomial coefficient C(N, K) as a double: the product over i = 1..K of
// (N - i + 1) / i, so K > N gives 0.
double NCR(uint16_t N, uint16_t K);
// B to the power E as a double.
double POT(uint16_t B, uint16_t E);
// Binomial coefficient for chambers of any size (N and K up to 2^31); K < 0
// or K > N gives 0. Same product as NCR.
double NCRL(int32_t N, int32_t K);

// "fixed w.d": "-" for negative numbers, the integer digits, "." and D
// decimals (no "." when D is 0), rounded, padded on the left to W columns.
std::string FIXSTR(double X, int W, int D);
// "sci 26": sign position (blank or "-"), one digit, ".", 14 digits, "E",
// exponent sign and at least 3 exponent digits, padded on the left to W.
std::string SCISTR(double X, int W = 26);
// Integer in minimal form, right-aligned in W columns.
std::string INTSTR(long long X, int W = 0);

// A size in bytes written as digits with an optional unit K, M, G or T (of
// 1024, either case): "4G", "500M", "2048K", "1000000". False, with BYTES
// unchanged, for anything else, for 0 and for sizes beyond 64 bits.
bool PARSESIZE(const std::string& TEXT, uint64_t& BYTES);

// "fixed w.d" of an extended-range number: as FIXSTR writes the double when
// the value is within a double's range; beyond it, every digit of the whole
// number m * 2^e (as "%.0f" prints a double: its exact binary value), then
// D zero decimals; below it, the rounded zero with its sign.
std::string XFIXSTR(const XNUM& X, int W, int D);
// The decimal digits of the whole number MANT * 2^SHIFT, without GMP: what
// XFIXSTR writes in a build without it (VKX_GMP=OFF, the web page).
std::string WHOLEDIGITS(uint64_t MANT, uint64_t SHIFT);
// X in the fewest significant digits that read back as the same double, in
// fixed or scientific form, whichever is shorter (fixed on a tie): the text
// std::to_chars writes, for a standard library without it (the web build's).
// "inf", "-inf" and "nan" as printf writes them.
std::string SHORTTEXT(double X);
// "sci 26" as SCISTR writes a double, for any magnitude: the exponent gets
// as many digits as it needs (at least 3).
std::string XSCISTR(const XNUM& X, int W = 26);
