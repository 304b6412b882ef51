// The expression object and the evaluator that runs the parsed postfix tokens
// on a value stack.
#include "sql/core/expr/expression.h"

#include "platform/rtl/format.h"
#include "sql/core/expr/expression_parser.h"
#include "sql/core/expr/expression_tokenizer.h"
#include "sql/core/messages.h"
#include "sql/core/sysutils.h"

namespace {

using BinaryOp = TZVariant (IZVariantManager::*)(const TZVariant&, const TZVariant&) const;

// The variant manager's operation for a two-operand operator, or null.
BinaryOp BinaryOperation(TZExpressionTokenType type) {
  switch (type) {
    case etPlus: return &IZVariantManager::OpAdd;
    case etMinus: return &IZVariantManager::OpSub;
    case etStar: return &IZVariantManager::OpMul;
    case etSlash: return &IZVariantManager::OpDiv;
    case etPercent: return &IZVariantManager::OpMod;
    case etPower: return &IZVariantManager::OpPow;
    case etAnd: return &IZVariantManager::OpAnd;
    case etOr: return &IZVariantManager::OpOr;
    case etXor: return &IZVariantManager::OpXor;
    case etEqual: return &IZVariantManager::OpEqual;
    case etNotEqual: return &IZVariantManager::OpNotEqual;
    case etMore: return &IZVariantManager::OpMore;
    case etLess: return &IZVariantManager::OpLess;
    case etMoreEqual: return &IZVariantManager::OpMoreEqual;
    case etLessEqual: return &IZVariantManager::OpLessEqual;
    default: return nullptr;
  }
}

TZVariant Boolean(bool value) {
  TZVariant v;
  DefaultVarManager()->SetAsBoolean(v, value);
  return v;
}

}  // namespace

TZExpression::TZExpression()
    : DefaultVariables(MakeRef<TZVariablesList>()), DefaultFunctions(MakeRef<TZDefaultFunctionsList>()),
      VariantManager(MakeRef<TZSoftVariantManager>()),
      Parser(std::make_unique<TZExpressionParser>(MakeRef<TZExpressionTokenizer>())) {}

TZExpression::~TZExpression() = default;

Ref<IZTokenizer> TZExpression::GetTokenizer() const { return Parser->Tokenizer(); }

void TZExpression::SetTokenizer(const Ref<IZTokenizer>& value) { Parser->SetTokenizer(value); }

AnsiString TZExpression::GetExpression() const { return Parser->Expression(); }

void TZExpression::SetExpression(const AnsiString& value) {
  Parser->Parse(value);
  if (AutoVariables) CreateVariables(DefaultVariables);
}

void TZExpression::CreateVariables(const Ref<IZVariablesList>& variables) {
  for (const AnsiString& name : Parser->VariableNames())
    if (variables->FindByName(name) < 0) variables->Add(name, NullVariant());
}

void TZExpression::Clear() {
  Parser->Clear();
  DefaultVariables->Clear();
}

TZVariant TZExpression::Evaluate() { return EvaluateWithFunctions(DefaultVariables, DefaultFunctions); }

TZVariant TZExpression::EvaluateWithVariables(const Ref<IZVariablesList>& variables) {
  return EvaluateWithFunctions(variables, DefaultFunctions);
}

TZVariant TZExpression::EvaluateWithFunctions(const Ref<IZVariablesList>& variables,
                                              const Ref<IZFunctionsList>& functions) {
  TZExecutionStack stack;
  return EvaluateWithStack(variables, functions, stack);
}

TZVariant TZExpression::EvaluateWithStack(const Ref<IZVariablesList>& variables,
                                          const Ref<IZFunctionsList>& functions, TZExecutionStack& stack) {
  const IZVariantManager& vm = *VariantManager;
  stack.Clear();
  for (const TZExpressionToken& token : Parser->PostfixTokens()) {
    switch (token.TokenType) {
      case etConstant:
        stack.Push(token.Value);
        break;
      case etVariable: {
        const AnsiString name = DefaultVarManager()->GetAsString(token.Value);
        const int index = variables->FindByName(name);
        if (index < 0) throw TZExpressionError(Format(SZVariableWasNotFound, {name}));
        stack.Push(variables->GetValue(index));
        break;
      }
      case etFunction: {
        const AnsiString name = DefaultVarManager()->GetAsString(token.Value);
        const int index = functions->FindByName(name);
        if (index < 0) throw TZExpressionError(Format(SZFunctionWasNotFound, {name}));
        TZVariant result = functions->GetFunction(index)->Execute(stack, VariantManager);
        const std::int64_t count = DefaultVarManager()->GetAsInteger(stack.Pop());
        for (std::int64_t i = 0; i < count; ++i) stack.Pop();
        stack.Push(result);
        break;
      }
      case etNot:
        stack.Push(vm.OpNot(stack.Pop()));
        break;
      case etUnary:
        stack.Push(vm.OpNegative(stack.Pop()));
        break;
      case etLike:
      case etNotLike: {
        const AnsiString pattern = vm.GetAsString(stack.Pop());
        const AnsiString text = vm.GetAsString(stack.Pop());
        stack.Push(Boolean(IsMatch(pattern, text) == (token.TokenType == etLike)));
        break;
      }
      case etIsNull:
      case etIsNotNull:
        stack.Push(Boolean(vm.IsNull(stack.Pop()) == (token.TokenType == etIsNull)));
        break;
      default: {
        const BinaryOp op = BinaryOperation(token.TokenType);
        if (!op) throw TZExpressionError(SZInternalError);
        const TZVariant right = stack.Pop();
        const TZVariant left = stack.Pop();
        stack.Push((vm.*op)(left, right));
      }
    }
  }
  if (stack.GetCount() != 1) throw TZExpressionError(SZInternalError);
  return stack.Pop();
}
