// lunar.cpp - Korean lunar calendar conversion over a built-in month table.
//
// The table covers the lunar years 1881 to 2043 (Gregorian 1881-01-30 to 2044-01-29). It is the
// Korean lunar calendar as officially published by the Korea Astronomy and Space Science Institute
// (KASI), taken from two independent KASI-derived tables that agree with each other, and checked
// day by day against an astronomical computation of the Korean lunisolar calendar (which departs
// from the published calendar only in 1889-1890, 1895-1896 and 2017; the published calendar is
// kept there). Nothing is computed astronomically at run time.
//
// Month codes, in calendar order, 13 per year:
//   1 ordinary month of 29 days    3 leap month of 29 days    0 no month (13th entry of a year
//   2 ordinary month of 30 days    4 leap month of 30 days      without a leap month)
// A leap month follows the ordinary month it repeats. Each row also carries the year's length,
// which the compile-time checks below hold against the codes.
//
// Day numbers: day 1 is 1881-01-30, the first day of lunar 1881. A Gregorian date's day number
// is the count of days before its year, (y - 1) * 365 + (y - 1) / 4 - (y - 1) / 100 + (y - 1) / 400,
// plus its day of the year, minus 686,685. A lunar date's day number is the length of all earlier
// lunar years (kept precomputed) plus the months before it in its year plus its day.
#include "lunar.h"

#include "civildate.h"
#include "filetime.h"

#include <algorithm>
#include <array>

namespace {

struct LunarYear {
    int year;
    unsigned char codes[13];
    int days;  // length of the year, the sum of its months
};

constexpr int kYearCount = ZU_LUNAR_LAST_YEAR - ZU_LUNAR_FIRST_YEAR + 1;

// clang-format off
constexpr LunarYear kTable[kYearCount] = {
//  year    m1 m2 m3 m4 m5 m6 m7 m8 m9 10 11 12 13   days
    {1881, {1, 2, 1, 2, 1, 2, 2, 3, 2, 2, 1, 2, 1}, 384},
    {1882, {1, 2, 1, 2, 1, 2, 1, 2, 2, 1, 2, 2, 0}, 355},
    {1883, {1, 1, 2, 1, 1, 2, 1, 2, 2, 2, 1, 2, 0}, 354},
    {1884, {2, 1, 1, 2, 1, 3, 2, 1, 2, 2, 1, 2, 2}, 384},
    {1885, {2, 1, 1, 2, 1, 1, 2, 1, 2, 1, 2, 2, 0}, 354},
    {1886, {2, 1, 2, 1, 2, 1, 1, 2, 1, 2, 1, 2, 0}, 354},
    {1887, {2, 2, 1, 2, 3, 2, 1, 1, 2, 1, 2, 1, 2}, 384},
    {1888, {2, 1, 2, 2, 1, 2, 1, 1, 2, 1, 2, 1, 0}, 354},
    {1889, {2, 1, 2, 2, 1, 2, 1, 2, 1, 2, 1, 2, 0}, 355},
    {1890, {1, 2, 3, 2, 1, 2, 2, 1, 2, 1, 2, 1, 2}, 384},
    {1891, {1, 2, 1, 2, 1, 2, 1, 2, 2, 1, 2, 2, 0}, 355},
    {1892, {1, 1, 2, 1, 1, 2, 3, 2, 2, 1, 2, 2, 2}, 384},
    {1893, {1, 1, 2, 1, 1, 2, 1, 2, 1, 2, 2, 2, 0}, 354},
    {1894, {1, 2, 1, 2, 1, 1, 2, 1, 2, 1, 2, 2, 0}, 354},
    {1895, {2, 1, 2, 1, 2, 3, 1, 2, 1, 2, 1, 2, 1}, 383},
    {1896, {2, 2, 2, 1, 2, 1, 1, 2, 1, 2, 1, 2, 0}, 355},
    {1897, {1, 2, 2, 1, 2, 1, 2, 1, 2, 1, 2, 1, 0}, 354},
    {1898, {2, 1, 2, 3, 2, 2, 1, 2, 1, 2, 1, 2, 1}, 384},
    {1899, {2, 1, 2, 1, 2, 1, 2, 2, 1, 2, 1, 2, 0}, 355},
    {1900, {1, 2, 1, 1, 2, 1, 2, 2, 3, 2, 2, 1, 2}, 384},
    {1901, {1, 2, 1, 1, 2, 1, 2, 1, 2, 2, 2, 1, 0}, 354},
    {1902, {2, 1, 2, 1, 1, 2, 1, 2, 1, 2, 2, 2, 0}, 355},
    {1903, {1, 2, 1, 2, 1, 3, 2, 1, 1, 2, 2, 1, 2}, 383},
    {1904, {2, 2, 1, 2, 1, 1, 2, 1, 1, 2, 2, 1, 0}, 354},
    {1905, {2, 2, 1, 2, 2, 1, 1, 2, 1, 2, 1, 2, 0}, 355},
    {1906, {1, 2, 2, 1, 4, 1, 2, 1, 2, 1, 2, 1, 2}, 384},
    {1907, {1, 2, 1, 2, 1, 2, 2, 1, 2, 1, 2, 1, 0}, 354},
    {1908, {2, 1, 1, 2, 2, 1, 2, 1, 2, 2, 1, 2, 0}, 355},
    {1909, {1, 2, 3, 1, 2, 1, 2, 1, 2, 2, 2, 1, 2}, 384},
    {1910, {1, 2, 1, 1, 2, 1, 2, 1, 2, 2, 2, 1, 0}, 354},
    {1911, {2, 1, 2, 1, 1, 2, 3, 1, 2, 2, 1, 2, 2}, 384},
    {1912, {2, 1, 2, 1, 1, 2, 1, 1, 2, 2, 1, 2, 0}, 354},
    {1913, {2, 2, 1, 2, 1, 1, 2, 1, 1, 2, 1, 2, 0}, 354},
    {1914, {2, 2, 1, 2, 2, 3, 1, 2, 1, 2, 1, 1, 2}, 384},
    {1915, {2, 1, 2, 2, 1, 2, 1, 2, 1, 2, 1, 2, 0}, 355},
    {1916, {1, 2, 1, 2, 1, 2, 2, 1, 2, 1, 2, 1, 0}, 354},
    {1917, {2, 1, 3, 2, 1, 2, 2, 1, 2, 2, 1, 2, 1}, 384},
    {1918, {2, 1, 1, 2, 1, 2, 1, 2, 2, 2, 1, 2, 0}, 355},
    {1919, {1, 2, 1, 1, 2, 1, 2, 3, 2, 2, 1, 2, 2}, 384},
    {1920, {1, 2, 1, 1, 2, 1, 1, 2, 2, 1, 2, 2, 0}, 354},
    {1921, {2, 1, 2, 1, 1, 2, 1, 1, 2, 1, 2, 2, 0}, 354},
    {1922, {2, 1, 2, 2, 1, 3, 2, 1, 1, 2, 1, 2, 2}, 384},
    {1923, {1, 2, 2, 1, 2, 1, 2, 1, 2, 1, 1, 2, 0}, 354},
    {1924, {2, 1, 2, 1, 2, 2, 1, 2, 1, 2, 1, 1, 0}, 354},
    {1925, {2, 1, 2, 2, 3, 2, 1, 2, 2, 1, 2, 1, 2}, 385},
    {1926, {1, 1, 2, 1, 2, 1, 2, 2, 1, 2, 2, 1, 0}, 354},
    {1927, {2, 1, 1, 2, 1, 2, 1, 2, 2, 1, 2, 2, 0}, 355},
    {1928, {1, 2, 3, 1, 2, 1, 1, 2, 2, 1, 2, 2, 2}, 384},
    {1929, {1, 2, 1, 1, 2, 1, 1, 2, 1, 2, 2, 2, 0}, 354},
    {1930, {1, 2, 2, 1, 1, 2, 3, 1, 2, 1, 2, 2, 1}, 383},
    {1931, {2, 2, 2, 1, 1, 2, 1, 1, 2, 1, 2, 1, 0}, 354},
    {1932, {2, 2, 2, 1, 2, 1, 2, 1, 1, 2, 1, 2, 0}, 355},
    {1933, {1, 2, 2, 1, 2, 4, 1, 2, 1, 2, 1, 1, 2}, 384},
    {1934, {1, 2, 1, 2, 2, 1, 2, 2, 1, 2, 1, 2, 0}, 355},
    {1935, {1, 1, 2, 1, 2, 1, 2, 2, 1, 2, 2, 1, 0}, 354},
    {1936, {2, 1, 1, 4, 1, 2, 1, 2, 1, 2, 2, 2, 1}, 384},
    {1937, {2, 1, 1, 2, 1, 1, 2, 1, 2, 2, 2, 1, 0}, 354},
    {1938, {2, 2, 1, 1, 2, 1, 1, 4, 1, 2, 2, 1, 2}, 384},
    {1939, {2, 2, 1, 1, 2, 1, 1, 2, 1, 2, 1, 2, 0}, 354},
    {1940, {2, 2, 1, 2, 1, 2, 1, 1, 2, 1, 2, 1, 0}, 354},
    {1941, {2, 2, 1, 2, 2, 1, 4, 1, 1, 2, 1, 2, 1}, 384},
    {1942, {2, 1, 2, 2, 1, 2, 2, 1, 2, 1, 1, 2, 0}, 355},
    {1943, {1, 2, 1, 2, 1, 2, 2, 1, 2, 2, 1, 2, 0}, 355},
    {1944, {1, 1, 2, 1, 4, 1, 2, 1, 2, 2, 1, 2, 2}, 384},
    {1945, {1, 1, 2, 1, 1, 2, 1, 2, 2, 2, 1, 2, 0}, 354},
    {1946, {2, 1, 1, 2, 1, 1, 2, 1, 2, 2, 1, 2, 0}, 354},
    {1947, {2, 2, 3, 1, 2, 1, 1, 2, 1, 2, 1, 2, 2}, 384},
    {1948, {2, 1, 2, 1, 2, 1, 1, 2, 1, 2, 1, 2, 0}, 354},
    {1949, {2, 2, 1, 2, 1, 2, 1, 3, 2, 1, 2, 1, 2}, 384},
    {1950, {2, 1, 2, 2, 1, 2, 1, 1, 2, 1, 2, 1, 0}, 354},
    {1951, {2, 1, 2, 2, 1, 2, 1, 2, 1, 2, 1, 2, 0}, 355},
    {1952, {1, 2, 1, 2, 1, 4, 2, 1, 2, 1, 2, 1, 2}, 384},
    {1953, {1, 2, 1, 1, 2, 2, 1, 2, 2, 1, 2, 2, 0}, 355},
    {1954, {1, 1, 2, 1, 1, 2, 1, 2, 2, 1, 2, 2, 0}, 354},
    {1955, {2, 1, 1, 4, 1, 1, 2, 1, 2, 1, 2, 2, 2}, 384},
    {1956, {1, 2, 1, 2, 1, 1, 2, 1, 2, 1, 2, 2, 0}, 354},
    {1957, {2, 1, 2, 1, 2, 1, 1, 2, 3, 2, 1, 2, 2}, 384},
    {1958, {1, 2, 2, 1, 2, 1, 1, 2, 1, 2, 1, 2, 0}, 354},
    {1959, {1, 2, 2, 1, 2, 1, 2, 1, 2, 1, 2, 1, 0}, 354},
    {1960, {2, 1, 2, 1, 2, 2, 3, 2, 1, 2, 1, 2, 1}, 384},
    {1961, {2, 1, 2, 1, 2, 1, 2, 2, 1, 2, 1, 2, 0}, 355},
    {1962, {1, 2, 1, 1, 2, 1, 2, 2, 1, 2, 2, 1, 0}, 354},
    {1963, {2, 1, 2, 1, 3, 2, 1, 2, 1, 2, 2, 2, 1}, 384},
    {1964, {2, 1, 2, 1, 1, 2, 1, 2, 1, 2, 2, 2, 0}, 355},
    {1965, {1, 2, 1, 2, 1, 1, 2, 1, 1, 2, 2, 2, 0}, 354},
    {1966, {1, 2, 2, 3, 2, 1, 1, 2, 1, 1, 2, 2, 1}, 383},
    {1967, {2, 2, 1, 2, 2, 1, 1, 2, 1, 2, 1, 2, 0}, 355},
    {1968, {1, 2, 2, 1, 2, 1, 2, 3, 2, 1, 2, 1, 2}, 384},
    {1969, {1, 2, 1, 2, 1, 2, 2, 1, 2, 1, 2, 1, 0}, 354},
    {1970, {2, 1, 1, 2, 2, 1, 2, 1, 2, 2, 1, 2, 0}, 355},
    {1971, {1, 2, 1, 1, 2, 3, 2, 1, 2, 2, 2, 1, 2}, 384},
    {1972, {1, 2, 1, 1, 2, 1, 2, 1, 2, 2, 2, 1, 0}, 354},
    {1973, {2, 1, 2, 1, 1, 2, 1, 1, 2, 2, 2, 1, 0}, 354},
    {1974, {2, 2, 1, 2, 3, 1, 2, 1, 1, 2, 2, 1, 2}, 384},
    {1975, {2, 2, 1, 2, 1, 1, 2, 1, 1, 2, 1, 2, 0}, 354},
    {1976, {2, 2, 1, 2, 1, 2, 1, 2, 3, 2, 1, 1, 2}, 384},
    {1977, {2, 1, 2, 2, 1, 2, 1, 2, 1, 2, 1, 1, 0}, 354},
    {1978, {2, 2, 1, 2, 1, 2, 2, 1, 2, 1, 2, 1, 0}, 355},
    {1979, {2, 1, 1, 2, 1, 2, 4, 1, 2, 2, 1, 2, 1}, 384},
    {1980, {2, 1, 1, 2, 1, 2, 1, 2, 2, 1, 2, 2, 0}, 355},
    {1981, {1, 2, 1, 1, 2, 1, 1, 2, 2, 1, 2, 2, 0}, 354},
    {1982, {2, 1, 2, 1, 3, 2, 1, 1, 2, 2, 1, 2, 2}, 384},
    {1983, {2, 1, 2, 1, 1, 2, 1, 1, 2, 1, 2, 2, 0}, 354},
    {1984, {2, 1, 2, 2, 1, 1, 2, 1, 1, 2, 3, 2, 2}, 384},
    {1985, {1, 2, 2, 1, 2, 1, 2, 1, 1, 2, 1, 2, 0}, 354},
    {1986, {1, 2, 2, 1, 2, 2, 1, 2, 1, 2, 1, 1, 0}, 354},
    {1987, {2, 1, 2, 2, 1, 2, 3, 2, 2, 1, 2, 1, 2}, 385},
    {1988, {1, 1, 2, 1, 2, 1, 2, 2, 1, 2, 2, 1, 0}, 354},
    {1989, {2, 1, 1, 2, 1, 2, 1, 2, 2, 1, 2, 2, 0}, 355},
    {1990, {1, 2, 1, 1, 2, 3, 1, 2, 2, 1, 2, 2, 2}, 384},
    {1991, {1, 2, 1, 1, 2, 1, 1, 2, 1, 2, 2, 2, 0}, 354},
    {1992, {1, 2, 2, 1, 1, 2, 1, 1, 2, 1, 2, 2, 0}, 354},
    {1993, {1, 2, 2, 3, 2, 1, 2, 1, 1, 2, 1, 2, 1}, 383},
    {1994, {2, 2, 2, 1, 2, 1, 2, 1, 1, 2, 1, 2, 0}, 355},
    {1995, {1, 2, 2, 1, 2, 2, 1, 2, 3, 2, 1, 1, 2}, 384},
    {1996, {1, 2, 1, 2, 2, 1, 2, 1, 2, 2, 1, 2, 0}, 355},
    {1997, {1, 1, 2, 1, 2, 1, 2, 2, 1, 2, 2, 1, 0}, 354},
    {1998, {2, 1, 1, 2, 1, 3, 2, 2, 1, 2, 2, 2, 1}, 384},
    {1999, {2, 1, 1, 2, 1, 1, 2, 1, 2, 2, 2, 1, 0}, 354},
    {2000, {2, 2, 1, 1, 2, 1, 1, 2, 1, 2, 2, 1, 0}, 354},
    {2001, {2, 2, 2, 1, 3, 2, 1, 1, 2, 1, 2, 1, 2}, 384},
    {2002, {2, 2, 1, 2, 1, 2, 1, 1, 2, 1, 2, 1, 0}, 354},
    {2003, {2, 2, 1, 2, 2, 1, 2, 1, 1, 2, 1, 2, 0}, 355},
    {2004, {1, 2, 3, 2, 2, 1, 2, 1, 2, 1, 2, 1, 2}, 384},
    {2005, {1, 2, 1, 2, 1, 2, 2, 1, 2, 2, 1, 1, 0}, 354},
    {2006, {2, 1, 2, 1, 2, 1, 2, 3, 2, 2, 1, 2, 2}, 385},
    {2007, {1, 1, 2, 1, 1, 2, 1, 2, 2, 2, 1, 2, 0}, 354},
    {2008, {2, 1, 1, 2, 1, 1, 2, 1, 2, 2, 1, 2, 0}, 354},
    {2009, {2, 2, 1, 1, 2, 3, 1, 2, 1, 2, 1, 2, 2}, 384},
    {2010, {2, 1, 2, 1, 2, 1, 1, 2, 1, 2, 1, 2, 0}, 354},
    {2011, {2, 1, 2, 2, 1, 2, 1, 1, 2, 1, 2, 1, 0}, 354},
    {2012, {2, 1, 2, 4, 2, 1, 2, 1, 1, 2, 1, 2, 1}, 384},
    {2013, {2, 1, 2, 2, 1, 2, 1, 2, 1, 2, 1, 2, 0}, 355},
    {2014, {1, 2, 1, 2, 1, 2, 1, 2, 2, 3, 2, 1, 2}, 384},
    {2015, {1, 2, 1, 1, 2, 1, 2, 2, 2, 1, 2, 1, 0}, 354},
    {2016, {2, 1, 2, 1, 1, 2, 1, 2, 2, 1, 2, 2, 0}, 355},
    {2017, {1, 2, 1, 2, 1, 3, 2, 1, 2, 1, 2, 2, 2}, 384},
    {2018, {1, 2, 1, 2, 1, 1, 2, 1, 2, 1, 2, 2, 0}, 354},
    {2019, {2, 1, 2, 1, 2, 1, 1, 2, 1, 2, 1, 2, 0}, 354},
    {2020, {2, 1, 2, 2, 3, 2, 1, 1, 2, 1, 2, 1, 2}, 384},
    {2021, {1, 2, 2, 1, 2, 1, 2, 1, 2, 1, 2, 1, 0}, 354},
    {2022, {2, 1, 2, 1, 2, 2, 1, 2, 1, 2, 1, 2, 0}, 355},
    {2023, {1, 2, 3, 2, 1, 2, 1, 2, 2, 1, 2, 1, 2}, 384},
    {2024, {1, 2, 1, 1, 2, 1, 2, 2, 1, 2, 2, 1, 0}, 354},
    {2025, {2, 1, 2, 1, 1, 2, 3, 2, 1, 2, 2, 2, 1}, 384},
    {2026, {2, 1, 2, 1, 1, 2, 1, 2, 1, 2, 2, 2, 0}, 355},
    {2027, {1, 2, 1, 2, 1, 1, 2, 1, 1, 2, 2, 2, 0}, 354},
    {2028, {1, 2, 2, 1, 2, 3, 1, 2, 1, 1, 2, 2, 1}, 383},
    {2029, {2, 2, 1, 2, 2, 1, 1, 2, 1, 1, 2, 2, 0}, 355},
    {2030, {1, 2, 1, 2, 2, 1, 2, 1, 2, 1, 2, 1, 0}, 354},
    {2031, {2, 1, 2, 3, 2, 1, 2, 2, 1, 2, 1, 2, 1}, 384},
    {2032, {2, 1, 1, 2, 1, 2, 2, 1, 2, 2, 1, 2, 0}, 355},
    {2033, {1, 2, 1, 1, 2, 1, 2, 1, 2, 2, 2, 3, 2}, 384},
    {2034, {1, 2, 1, 1, 2, 1, 2, 1, 2, 2, 2, 1, 0}, 354},
    {2035, {2, 1, 2, 1, 1, 2, 1, 1, 2, 2, 1, 2, 0}, 354},
    {2036, {2, 2, 1, 2, 1, 1, 4, 1, 1, 2, 2, 1, 2}, 384},
    {2037, {2, 2, 1, 2, 1, 1, 2, 1, 1, 2, 1, 2, 0}, 354},
    {2038, {2, 2, 1, 2, 1, 2, 1, 2, 1, 1, 2, 1, 0}, 354},
    {2039, {2, 2, 1, 2, 2, 3, 2, 1, 2, 1, 2, 1, 1}, 384},
    {2040, {2, 1, 2, 2, 1, 2, 2, 1, 2, 1, 2, 1, 0}, 355},
    {2041, {2, 1, 1, 2, 1, 2, 2, 1, 2, 2, 1, 2, 0}, 355},
    {2042, {1, 2, 3, 1, 2, 1, 2, 1, 2, 2, 1, 2, 2}, 384},
    {2043, {1, 2, 1, 1, 2, 1, 1, 2, 2, 1, 2, 2, 0}, 354},
};
// clang-format on

constexpr int monthLength(int code)
{
    return code == 0 ? 0 : (code <= 2 ? code + 28 : code + 26);
}

constexpr bool isLeapCode(int code)
{
    return code == 3 || code == 4;
}

// Every row: its year, 12 ordinary months, at most one leap month and never first, the 13th
// entry empty exactly when there is no leap month, and the stated length.
constexpr bool tableIsWellFormed()
{
    for (int i = 0; i < kYearCount; ++i) {
        const LunarYear& row = kTable[i];
        if (row.year != ZU_LUNAR_FIRST_YEAR + i)
            return false;
        int ordinary = 0, leaps = 0, days = 0;
        for (int k = 0; k < 13; ++k) {
            const int code = row.codes[k];
            if (code > 4 || (code == 0 && k != 12) || (isLeapCode(code) && k == 0))
                return false;
            ordinary += code == 1 || code == 2;
            leaps += isLeapCode(code);
            days += monthLength(code);
        }
        if (ordinary != 12 || leaps > 1 || (row.codes[12] == 0) != (leaps == 0) || days != row.days)
            return false;
    }
    return true;
}
static_assert(tableIsWellFormed(), "lunar month table is malformed");

// kYearStart[i]: days of all lunar years before row i; kYearStart[kYearCount] is the whole table.
constexpr std::array<int, kYearCount + 1> kYearStart = [] {
    std::array<int, kYearCount + 1> start{};
    for (int i = 0; i < kYearCount; ++i)
        start[i + 1] = start[i] + kTable[i].days;
    return start;
}();

// The table's day numbers count from 1881-01-29: day 1 is 1881-01-30, the first day of lunar 1881.
constexpr long long kDayNumberEpoch = ZuDaysFromCivil(1881, 1, 29);

// 2044-01-29, the last day of lunar 2043.
static_assert(ZuDaysFromCivil(2044, 1, 29) - kDayNumberEpoch == kYearStart[kYearCount],
    "the table ends on 2044-01-29");

// Day number of a Gregorian date inside the years the table touches (1881..2044).
int solarDayNumber(int y, int m, int d)
{
    return static_cast<int>(ZuDaysFromCivil(y, m, d) - kDayNumberEpoch);
}

// Gregorian date of a day number of the table (1 and on).
void solarDate(int n, int* y, int* m, int* d)
{
    const ZuCivilDate date = ZuCivilFromDays(n + kDayNumberEpoch);
    *y = static_cast<int>(date.year);
    *m = date.month;
    *d = date.day;
}

} // namespace

int ZuSunToMoon(int y, int m, int d, int* ly, int* lm, int* ld, bool* leap)
{
    // The table's days fall in the Gregorian years 1881 to 2044; checking the year first keeps the
    // day-number arithmetic far from overflow.
    if (y < ZU_LUNAR_FIRST_YEAR || y > ZU_LUNAR_LAST_YEAR + 1 || d < 1 || d > ZuDaysInMonth(y, m))
        return 0;
    const int n = solarDayNumber(y, m, d);
    if (n < 1 || n > kYearStart[kYearCount])
        return 0;

    // The row whose days hold n: the last one starting before it.
    const int row = static_cast<int>(std::upper_bound(kYearStart.begin(), kYearStart.end(), n - 1) - kYearStart.begin()) - 1;
    int t = n - kYearStart[row];  // day within the lunar year, from 1
    int month = 0;
    for (const int code : kTable[row].codes) {
        if (!isLeapCode(code))
            ++month;
        const int length = monthLength(code);
        if (t <= length) {
            if (ly)
                *ly = kTable[row].year;
            if (lm)
                *lm = month;
            if (ld)
                *ld = t;
            if (leap)
                *leap = isLeapCode(code);
            return 1;
        }
        t -= length;
    }
    return 0;  // not reached: the row's months add up to its length
}

int ZuMoonToSun(int ly, int lm, int ld, bool leap, int* y, int* m, int* d)
{
    if (ly < ZU_LUNAR_FIRST_YEAR || ly > ZU_LUNAR_LAST_YEAR || lm < 1 || lm > 12 || ld < 1 || ld > 30)
        return 0;
    const LunarYear& row = kTable[ly - ZU_LUNAR_FIRST_YEAR];
    int before = 0;  // days of the year's months before the target
    int month = 0;
    for (const int code : row.codes) {
        if (!isLeapCode(code))
            ++month;
        if (month == lm && code != 0 && isLeapCode(code) == leap) {
            int sy, sm, sd;
            solarDate(kYearStart[ly - ZU_LUNAR_FIRST_YEAR] + before + ld, &sy, &sm, &sd);
            if (y)
                *y = sy;
            if (m)
                *m = sm;
            if (d)
                *d = sd;
            return 1;
        }
        if (month > lm)
            break;
        before += monthLength(code);
    }
    return 0;  // no leap month after month lm
}

int FromSunToMoon(COleDateTime& date)
{
    if (date.GetStatus() != COleDateTime::valid)
        return 0;
    int ly, lm, ld;
    if (!ZuSunToMoon(date.GetYear(), date.GetMonth(), date.GetDay(), &ly, &lm, &ld, nullptr))
        return 0;
    COleDateTime lunar;
    if (lunar.SetDate(ly, lm, ld) != 0)
        return 0;  // lunar 02-30, or 02-29 in a common year: no stand-in date
    date = lunar;
    return 1;
}

int FromMoonToSun(COleDateTime& date)
{
    if (date.GetStatus() != COleDateTime::valid)
        return 0;
    int y, m, d;
    if (!ZuMoonToSun(date.GetYear(), date.GetMonth(), date.GetDay(), false, &y, &m, &d))
        return 0;
    COleDateTime solar;
    if (solar.SetDate(y, m, d) != 0)
        return 0;
    date = solar;
    return 1;
}

namespace {

// Applies a date conversion to the wall-clock date of a FILETIME; the result is that date at
// 00:00, with no time-zone step.
template <typename Convert>
int convertFileTimeDate(FILETIME& date, Convert convert)
{
    SYSTEMTIME in;
    if (!FileTimeToSystemTime(&date, &in))
        return 0;
    int y, m, d;
    if (!convert(in.wYear, in.wMonth, in.wDay, &y, &m, &d))
        return 0;
    SYSTEMTIME out;
    out.wYear = static_cast<WORD>(y);
    out.wMonth = static_cast<WORD>(m);
    out.wDay = static_cast<WORD>(d);
    FILETIME result;
    if (!SystemTimeToFileTime(&out, &result))
        return 0;  // lunar 02-30, or 02-29 in a common year: no stand-in date
    date = result;
    return 1;
}

} // namespace

int FromSunToMoon(FILETIME& date)
{
    return convertFileTimeDate(date, [](int y, int m, int d, int* ly, int* lm, int* ld) {
        return ZuSunToMoon(y, m, d, ly, lm, ld, nullptr);
    });
}

int FromMoonToSun(FILETIME& date)
{
    return convertFileTimeDate(date, [](int ly, int lm, int ld, int* y, int* m, int* d) {
        return ZuMoonToSun(ly, lm, ld, false, y, m, d);
    });
}
