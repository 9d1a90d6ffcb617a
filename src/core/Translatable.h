#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// Texts of the program that models define and the user reads. Their English is written where
// they are defined, and the user interface shows them in the user's language: a sentence a model
// builds goes through LocaleTexts::Translate; a word in a table is marked here and translated
// where it is shown, in the context it is marked with. lupdate collects both kinds for the
// translators' catalogue: it reads TRANSLATABLE as Qt's QT_TRANSLATE_NOOP, TRANSLATABLE_N as
// QT_TRANSLATE_N_NOOP (a text with "%n" and plural forms) and Translate as Qt's translate (see
// cmake/Translations.cmake).
#define TRANSLATABLE(context, text) text
#define TRANSLATABLE_N(context, text) text

// `pattern` with "%1" to "%9" replaced by the arguments in order, in one pass as QString::arg
// fills several at once: a "%2" inside an argument stays as it is. A marker without its
// argument stays too.
std::string FillArgs(std::string_view pattern, std::initializer_list<std::string_view> args);
