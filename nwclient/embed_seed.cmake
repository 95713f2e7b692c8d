# Writes the seed file IN as a C++ string constant into OUT.
file(READ ${IN} text)
string(LENGTH "${text}" len)
set(chunks "")
set(pos 0)
# Raw string literals have a length limit on some compilers: emit the text in pieces.
while(pos LESS len)
  string(SUBSTRING "${text}" ${pos} 8000 piece)
  string(APPEND chunks "  R\"nwseed(${piece})nwseed\"\n")
  math(EXPR pos "${pos} + 8000")
endwhile()
file(WRITE ${OUT} "#include <string>\nnamespace nwsim::detail {\nextern const std::string kSampleSeed;\nconst std::string kSampleSeed =\n${chunks}  \"\";\n}\n")
