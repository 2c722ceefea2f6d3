# Makes the tests' catalogue of the diagnostics from the manual, which is the
# one list of them: each heading (the line after .TP or .TQ) of its
# DIAGNOSTICS section that starts "tree_data: DataFile.csv:" N ": " is a
# message about a line; each that does not start "tree_data:" is a cause that
# a skipped row's message may end in; each other is a failure that ends the
# run. Italic words, as in .BI, are placeholders, written <WORD> in the
# catalogue.

# Appends to `out` the text of the roff heading `line`, a .B or .BI line.
function(tree_data_heading_text line out)
  string(REGEX REPLACE "^\\.(BI?) *" "" arguments "${line}")
  set(italic OFF)
  set(text "")
  if(NOT line MATCHES "^\\.BI")
    # .B: its arguments are one bold text, quoted or not.
    string(REGEX REPLACE "^\"(.*)\"$" "\\1" text "${arguments}")
  else()
    # .BI: its arguments alternate, bold then italic, each quoted or a word.
    while(NOT arguments STREQUAL "")
      string(REGEX MATCH "^(\"[^\"]*\"|[^ ]+) *" taken "${arguments}")
      set(argument "${CMAKE_MATCH_1}")
      string(LENGTH "${taken}" length)
      string(SUBSTRING "${arguments}" ${length} -1 arguments)
      string(REGEX REPLACE "^\"(.*)\"$" "\\1" argument "${argument}")
      if(italic)
        string(APPEND text "<${argument}>")
        set(italic OFF)
      else()
        string(APPEND text "${argument}")
        set(italic ON)
      endif()
    endwhile()
  endif()
  # The escapes the headings use.
  string(REPLACE "\\(dq" "\\\"" text "${text}")
  string(REPLACE "\\-" "-" text "${text}")
  string(REPLACE "\\e" "\\\\" text "${text}")
  string(REPLACE "\\ " " " text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Writes `header`, a C++ header of the catalogue, from the manual `manual`.
function(tree_data_diagnostic_catalogue manual header)
  file(READ "${manual}" page)
  # One list element a line: the semicolons of the text are kept apart first.
  string(REPLACE ";" "<semicolon>" page "${page}")
  string(REPLACE "\n" ";" lines "${page}")
  set(section OFF)
  set(heading OFF)
  set(messages "")
  set(causes "")
  set(failures "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^\\.SH ")
      set(section OFF)
      if(line STREQUAL ".SH DIAGNOSTICS")
        set(section ON)
      endif()
    elseif(section AND line MATCHES "^\\.T[PQ]$")
      set(heading ON)
    elseif(heading)
      set(heading OFF)
      tree_data_heading_text("${line}" text)
      string(REPLACE "<semicolon>" ";" text "${text}")
      if(text MATCHES "^tree_data: DataFile\\.csv:<N>: (.*)$")
        string(APPEND messages "    \"${CMAKE_MATCH_1}\",\n")
      elseif(NOT text MATCHES "^tree_data:")
        string(APPEND causes "    \"${text}\",\n")
      else()
        string(APPEND failures "    \"${text}\",\n")
      endif()
    endif()
  endforeach()
  if(messages STREQUAL "" OR causes STREQUAL "" OR failures STREQUAL "")
    message(FATAL_ERROR "${manual}: no diagnostics about a line, no causes, "
                        "or no failures in its DIAGNOSTICS section")
  endif()
  file(CONFIGURE OUTPUT "${header}" @ONLY CONTENT
"// Made by cmake/diagnostic_catalogue.cmake from the DIAGNOSTICS section of
// man/tree_data.1: the messages about a line after their
// \"tree_data: DataFile.csv:N: \", the causes a skipped row's message may end
// in after \"; \", and the failures that end a run, whole. Placeholders are
// written <WORD>.
#ifndef TREE_DATA_TESTS_DIAGNOSTIC_CATALOGUE_H
#define TREE_DATA_TESTS_DIAGNOSTIC_CATALOGUE_H

inline constexpr const char *catalogueMessages[] = {
@messages@};

inline constexpr const char *catalogueCauses[] = {
@causes@};

inline constexpr const char *catalogueFailures[] = {
@failures@};

#endif // TREE_DATA_TESTS_DIAGNOSTIC_CATALOGUE_H
")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${manual}")
endfunction()
