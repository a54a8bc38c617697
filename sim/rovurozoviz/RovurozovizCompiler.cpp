// Scanner and parser of Rovurozoviz, written by hand. The parser is recursive
// descent with precedence climbing for expressions; it always holds one token
// of look-ahead, as a table-driven parser does, so line stamps and the token
// named in an error message come out the same. Code is emitted in one pass;
// jump targets are resolved after the parse.
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Sys.h"
#include "sim/rovurozoviz/RovurozovizProgram.h"

namespace {

enum eToken {
  kTokEnd,
  kTokNumber,
  kTokIdent,
  kTokIf,
  kTokElse,
  kTokEndif,
  kTokGoto,
  kTokGosub,
  kTokReturn,
  kTokPush,
  kTokPop,
  kTokAnd,
  kTokOr,
  kTokCompare,  // value: the comparison's opcode
  kTokPlus,
  kTokMinus,
  kTokStar,
  kTokSlash,
  kTokCaret,
  kTokLeftParen,
  kTokRightParen,
  kTokComma,
  kTokAssign,
  kTokColon,
  kTokSemicolon,  // a token with no place in the grammar
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

float NumberValue(std::string_view text) {
  double value = 0.0;
  auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    // As strtod: a huge whole part overflows to infinity, a tiny fraction to zero.
    std::string_view whole = text.substr(0, text.find('.'));
    value = whole.find_first_not_of('0') != std::string_view::npos ? HUGE_VAL : 0.0;
  }
  return float(value);
}

}  // namespace

class cRovurozovizCompiler {
 public:
  cRovurozovizCompiler(cRovurozovizProgram& program, const char* text) : mProgram(program), mCursor(text) {}

  bool Run() {
    Next();
    ParseProgram();
    for (tRovurozovizInstruction& in : mProgram.mCode)
      if (in.opcode == GOTO || in.opcode == GOSUB) in.operand = mProgram.FindLabel(in.operand);
    return mErrors == 0;
  }

  void CountError() { ++mErrors; }
  int StatementLine() const { return mStatementLine; }
  std::string TokenText() const { return std::string(mTokenText); }

 private:
  // ---- scanner ----
  void Next() {
    for (;;) {
      const char* start = mCursor;
      char c = *mCursor;
      if (c == '\0') {
        Set(kTokEnd, start, 0);
        return;
      }
      if (c == '\n') {
        ++mLineCount;
        ++mCursor;
        continue;
      }
      if (c == '#') {
        while (*mCursor != '\0' && *mCursor != '\n') ++mCursor;
        continue;
      }
      if (IsDigit(c)) {
        while (IsDigit(*mCursor)) ++mCursor;
        if (mCursor[0] == '.' && IsDigit(mCursor[1])) {
          ++mCursor;
          while (IsDigit(*mCursor)) ++mCursor;
        }
        Set(kTokNumber, start, size_t(mCursor - start));
        mTokenValue = mProgram.AddName(start, size_t(mCursor - start));
        return;
      }
      if (IsLetter(c)) {
        while (IsLetter(*mCursor) || IsDigit(*mCursor) || *mCursor == '_') ++mCursor;
        size_t length = size_t(mCursor - start);
        std::string_view word(start, length);
        static const struct {
          const char* text;
          eToken token;
        } kKeywords[] = {{"if", kTokIf},         {"else", kTokElse}, {"endif", kTokEndif}, {"goto", kTokGoto},
                         {"gosub", kTokGosub},   {"return", kTokReturn}, {"push", kTokPush}, {"pop", kTokPop},
                         {"and", kTokAnd},       {"or", kTokOr}};
        for (const auto& keyword : kKeywords) {
          if (word == keyword.text) {
            Set(keyword.token, start, length);
            return;
          }
        }
        Set(kTokIdent, start, length);
        mTokenValue = mProgram.AddName(start, length);
        return;
      }
      char d = mCursor[1];
      if (d == '=' && (c == '=' || c == '>' || c == '<' || c == '~')) {
        mCursor += 2;
        Set(kTokCompare, start, 2);
        mTokenValue = c == '=' ? EQ : c == '>' ? GE : c == '<' ? LE : NE;
        return;
      }
      ++mCursor;
      switch (c) {
        case '>': Set(kTokCompare, start, 1); mTokenValue = GT; return;
        case '<': Set(kTokCompare, start, 1); mTokenValue = LT; return;
        case '+': Set(kTokPlus, start, 1); return;
        case '-': Set(kTokMinus, start, 1); return;
        case '*': Set(kTokStar, start, 1); return;
        case '/': Set(kTokSlash, start, 1); return;
        case '^': Set(kTokCaret, start, 1); return;
        case '(': Set(kTokLeftParen, start, 1); return;
        case ')': Set(kTokRightParen, start, 1); return;
        case ',': Set(kTokComma, start, 1); return;
        case '=': Set(kTokAssign, start, 1); return;
        case ':': Set(kTokColon, start, 1); return;
        case ';': Set(kTokSemicolon, start, 1); return;
        default: break;  // every other byte is ignored without a message
      }
    }
  }

  void Set(eToken token, const char* start, size_t length) {
    mToken = token;
    mTokenText = std::string_view(start, length);
    mTokenValue = -1;
  }

  // ---- emission ----
  tRovurozovizInstruction Make(uint32_t opcode, float constant = 0.0f, int32_t operand = -1) {
    if (mStatementLine == -1) mStatementLine = mLineCount;
    tRovurozovizInstruction in;
    in.opcode = opcode;
    in.constant = constant;
    in.operand = operand;
    in.line = mStatementLine;
    return in;
  }
  void Emit(uint32_t opcode, float constant = 0.0f, int32_t operand = -1) {
    mProgram.mCode.push_back(Make(opcode, constant, operand));
  }
  void AddPendingStore(int nameIndex) { mPending.push_back(Make(STORE, 0.0f, nameIndex)); }
  void MovePending(bool lastNameFirst) {
    if (lastNameFirst)
      mProgram.mCode.insert(mProgram.mCode.end(), mPending.rbegin(), mPending.rend());
    else
      mProgram.mCode.insert(mProgram.mCode.end(), mPending.begin(), mPending.end());
    mPending.clear();
  }
  void CompleteStatement() { mStatementLine = mLineCount; }

  // ---- parser ----
  bool Fail(const char* message) {
    if (!mFailed) {
      mFailed = true;
      ReportRovurozovizError(message);
    }
    return false;
  }
  bool Expect(eToken token) {
    if (mToken != token) return Fail("parse error");
    Next();
    return true;
  }
  bool Enter() { return ++mNesting <= cRovurozovizProgram::kMaxParseNesting || Fail("parser stack overflow"); }
  void Leave() { --mNesting; }

  void ParseProgram() {
    if (mToken == kTokEnd) {
      Fail("parse error");  // an empty text, or only comments
      return;
    }
    while (mToken != kTokEnd)
      if (!ParseStatement()) return;
  }

  bool ParseStatements() {  // one or more, up to "else" or "endif"
    do {
      if (!ParseStatement()) return false;
    } while (mToken != kTokElse && mToken != kTokEndif);
    return true;
  }

  bool ParseStatement() {
    switch (mToken) {
      case kTokIdent: return ParseStatementAfterName();
      case kTokGoto:
      case kTokGosub:
        if (!ParseJump()) return false;
        CompleteStatement();
        return true;
      case kTokReturn: {
        Next();
        if (mToken == kTokLeftParen) {
          Next();
          if (!ParseExpressionList() || !Expect(kTokRightParen)) return false;
        }
        Emit(RETURN);
        CompleteStatement();
        return true;
      }
      case kTokPush:
        Next();
        if (!ParseExpressionList()) return false;
        CompleteStatement();
        return true;
      case kTokPop:
        Next();
        if (!ParseNameList()) return false;
        MovePending(false);
        CompleteStatement();
        return true;
      case kTokIf: return ParseIf();
      default: return Fail("parse error");
    }
  }

  bool ParseStatementAfterName() {
    int name = mTokenValue;
    Next();
    if (mToken == kTokColon) {  // label
      Next();
      mProgram.mLabels.emplace_back(name, int32_t(mProgram.mCode.size()));
      CompleteStatement();
      return true;
    }
    if (mToken == kTokLeftParen) {  // label with parameters
      Next();
      if (!ParseNameList() || !Expect(kTokRightParen) || !Expect(kTokColon)) return false;
      mProgram.mLabels.emplace_back(name, int32_t(mProgram.mCode.size()));
      MovePending(true);
      CompleteStatement();
      return true;
    }
    if (mToken != kTokComma && mToken != kTokAssign) return Fail("parse error");
    AddPendingStore(name);
    while (mToken == kTokComma) {
      Next();
      if (mToken != kTokIdent) return Fail("parse error");
      int next = mTokenValue;
      Next();
      AddPendingStore(next);
    }
    if (!Expect(kTokAssign)) return false;
    if (mToken == kTokGoto || mToken == kTokGosub) {
      if (!ParseJump()) return false;
    } else if (!ParseExpressionList()) {
      return false;
    }
    MovePending(true);
    CompleteStatement();
    return true;
  }

  bool ParseJump() {
    uint32_t opcode = mToken == kTokGoto ? GOTO : GOSUB;
    Next();
    if (mToken != kTokIdent) return Fail("parse error");
    int label = mTokenValue;
    Next();
    if (mToken == kTokLeftParen) {
      Next();
      if (!ParseExpressionList() || !Expect(kTokRightParen)) return false;
    }
    Emit(opcode, 0.0f, label);
    return true;
  }

  bool ParseIf() {
    if (!Enter()) return false;
    Next();
    if (!Expect(kTokLeftParen) || !ParseExpression(1) || !Expect(kTokRightParen)) return false;
    Emit(IF);
    CompleteStatement();
    if (mToken == kTokElse || mToken == kTokEndif) return Fail("parse error");  // empty branch
    if (!ParseStatements()) return false;
    if (mToken == kTokElse) {
      Next();
      Emit(ELSE);
      CompleteStatement();
      if (mToken == kTokEndif) return Fail("parse error");
      if (!ParseStatements()) return false;
    }
    if (!Expect(kTokEndif)) return false;
    Emit(ENDIF);
    CompleteStatement();
    Leave();
    return true;
  }

  bool ParseNameList() {  // identifiers become pending stores in written order
    for (;;) {
      if (mToken != kTokIdent) return Fail("parse error");
      int name = mTokenValue;
      Next();
      AddPendingStore(name);
      if (mToken != kTokComma) return true;
      Next();
    }
  }

  bool ParseExpressionList() {
    if (!ParseExpression(1)) return false;
    while (mToken == kTokComma) {
      Next();
      if (!ParseExpression(1)) return false;
    }
    return true;
  }

  // Binding level of an infix token (1 weakest .. 6 "^"), 0 when not infix.
  int InfixLevel(uint32_t* opcode) const {
    switch (mToken) {
      case kTokOr: *opcode = OR; return 1;
      case kTokAnd: *opcode = AND; return 2;
      case kTokCompare: *opcode = uint32_t(mTokenValue); return 3;
      case kTokPlus: *opcode = ADD; return 4;
      case kTokMinus: *opcode = SUB; return 4;
      case kTokStar: *opcode = MUL; return 5;
      case kTokSlash: *opcode = DIV; return 5;
      case kTokCaret: *opcode = POW; return 6;
      default: return 0;
    }
  }

  bool ParseExpression(int minimumLevel) {
    if (!ParseUnary()) return false;
    for (;;) {
      uint32_t opcode = NOP;
      int level = InfixLevel(&opcode);
      if (level == 0 || level < minimumLevel) return true;
      Next();
      if (!ParseExpression(level + 1)) return false;  // every level groups from the left
      Emit(opcode);
    }
  }

  bool ParseUnary() {  // unary minus binds tighter than every infix operator
    int minusCount = 0;
    while (mToken == kTokMinus) {
      ++minusCount;
      Next();
    }
    if (!ParsePrimary()) return false;
    for (int i = 0; i < minusCount; ++i) {
      mProgram.AddName("-1", 2);  // the constant enters the name table like any number
      Emit(PUSH_CONST, -1.0f);
      Emit(MUL);
    }
    return true;
  }

  bool ParsePrimary() {
    switch (mToken) {
      case kTokNumber: {
        float value = NumberValue(mTokenText);
        Next();
        Emit(PUSH_CONST, value);
        return true;
      }
      case kTokIdent: {
        bool isRand = mTokenText == "RAND";
        int name = mTokenValue;
        Next();
        if (isRand)
          Emit(RAND);
        else
          Emit(PUSH_VAR, 0.0f, name);
        return true;
      }
      case kTokLeftParen: {
        if (!Enter()) return false;
        Next();
        if (!ParseExpression(1) || !Expect(kTokRightParen)) return false;
        Leave();
        return true;
      }
      default: return Fail("parse error");
    }
  }

  cRovurozovizProgram& mProgram;
  const char* mCursor;
  eToken mToken = kTokEnd;
  std::string_view mTokenText;
  int mTokenValue = -1;
  int mLineCount = 0;       // line feeds read so far, look-ahead included
  int mStatementLine = -1;  // stamp of the statement being compiled
  int mErrors = 0;
  bool mFailed = false;
  int mNesting = 0;
  std::vector<tRovurozovizInstruction> mPending;  // stores of a name list not yet placed
};

namespace {
cRovurozovizCompiler* gActiveCompiler = nullptr;  // reached by ReportRovurozovizError
}

bool cRovurozovizProgram::Compile(const char* text) {
  // One compile at a time: the error report reads the active compiler.
  if (gActiveCompiler || !text) return false;
  // Compile into a scratch program: on a syntax error this program keeps
  // its previous code and variables, and half a script never runs.
  cRovurozovizProgram scratch;
  cRovurozovizCompiler compiler(scratch, text);
  gActiveCompiler = &compiler;
  bool ok = compiler.Run();
  gActiveCompiler = nullptr;
  if (ok) TakeCompiledFrom(scratch);
  return ok;
}

void ReportRovurozovizError(const char* message) {
  (void)message;  // the parser's own wording ("parse error") is not shown
  int line = gActiveCompiler ? gActiveCompiler->StatementLine() : -1;
  std::string token = gActiveCompiler ? gActiveCompiler->TokenText() : std::string();
  std::string text = "Error in Rovurozoviz file " + RovurozovizCurrentFileName() + " at line " +
                     std::to_string(line + 1) + "near text: " + token;
  Sys_MessageBox("Rovurozoviz Error", text, SysBox::Ok);
  if (gActiveCompiler) gActiveCompiler->CountError();
}
