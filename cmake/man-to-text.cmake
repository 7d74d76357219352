# Renders the man page as plain text with CR LF line ends, for the Windows .zip:
#   cmake -DMANDOC=mandoc -DPAGE=qel2br.1 -DTEXT=qel2br-manual.txt -P man-to-text.cmake
# mandoc's ASCII output marks bold and underlined letters by backspacing over them; the marks are
# removed, so that the text reads in any editor.
execute_process(COMMAND ${MANDOC} -T ascii -O width=78 ${PAGE}
                OUTPUT_VARIABLE text RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR text STREQUAL "")
  message(FATAL_ERROR "mandoc could not render ${PAGE} (${status})")
endif()
string(ASCII 8 backspace)
string(REGEX REPLACE ".${backspace}" "" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${TEXT} "${text}")
