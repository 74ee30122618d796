# Writes a C++ source that returns a text file's content from a function, so
# that data kept in a file of its own is built into a library.
#   cmake -DINPUT=file -DOUTPUT=file.cpp -DHEADER=ns/Header.h -DNAMESPACE=ns -DFUNCTION=Name -P EmbedText.cmake
# The function is `std::string_view FUNCTION() noexcept`, declared in HEADER.
file(READ "${INPUT}" content)
set(delimiter "storcoll_embed")
string(FIND "${content}" ")${delimiter}\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${INPUT} holds the text \")${delimiter}\"\" and cannot be embedded as it is")
endif()
get_filename_component(name "${INPUT}" NAME)
file(WRITE "${OUTPUT}"
  "// Generated at build time from ${name}; edit that file instead.\n"
  "#include \"${HEADER}\"\n\n"
  "namespace ${NAMESPACE} {\n\n"
  "std::string_view ${FUNCTION}() noexcept\n{\n"
  "    return R\"${delimiter}(${content})${delimiter}\";\n"
  "}\n\n"
  "}  // namespace ${NAMESPACE}\n")
