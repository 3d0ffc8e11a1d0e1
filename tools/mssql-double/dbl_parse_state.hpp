#pragma once
// dbl_parse_state.hpp - the token cursor shared by the statement and expression parsers:
// keyword matching, names, SELECT and expressions, and the 102/156 syntax errors.

#include "dbl_ast.hpp"
#include "dbl_lexer.hpp"

#include <vector>

class dbl_parse_state {
public:
    explicit dbl_parse_state(std::vector<dbl_token> new_tokens) : tokens(std::move(new_tokens)) {}

protected:
    const dbl_token& peek() const { return tokens[at]; }
    const dbl_token& peek_at(std::size_t ahead) const {
        return tokens[std::min(at + ahead, tokens.size() - 1)];
    }
    void next() {
        if (at + 1 < tokens.size()) ++at;
    }
    bool at_end() const { return peek().kind == dbl_token_kind::END; }
    bool accept(const char* word) {
        if (!peek().is(word)) return false;
        next();
        return true;
    }
    void expect(const char* word) {
        if (!accept(word)) fail();
    }
    bool is_statement_start() const;
    bool is_reserved(const dbl_token& token) const;
    [[noreturn]] void fail() const;

    // A whole number token (sizes, TOP, IDENTITY seeds); 102 for "1.5", ".5" or overflow.
    std::int64_t whole_number();
    std::string name_part();
    dbl_name name();
    std::unique_ptr<dbl_select> select_body();
    dbl_expr_ptr expression();

    // Warnings of the statement being parsed; the statement parser takes them.
    std::vector<dbl_sql_error> warnings;

private:
    // Expressions and subqueries nest by recursion; past this depth the batch is refused
    // (191) before it can exhaust the connection thread's stack.
    static constexpr int MAX_NESTING = 128;
    struct nesting_guard {
        explicit nesting_guard(dbl_parse_state& state);
        ~nesting_guard() { --state.depth; }
        dbl_parse_state& state;
    };
    // A chain "a + b + c ..." parses in a loop but builds a tree one level deeper per link.
    struct nesting_chain {
        explicit nesting_chain(dbl_parse_state& new_state) : state(new_state) {}
        ~nesting_chain() { state.depth -= links; }
        void add();
        dbl_parse_state& state;
        int links = 0;
    };

    void select_items(dbl_select& select);
    dbl_source source();
    dbl_expr_ptr or_expr();
    dbl_expr_ptr and_expr();
    dbl_expr_ptr not_expr();
    dbl_expr_ptr predicate();
    dbl_expr_ptr additive();
    dbl_expr_ptr multiplicative();
    dbl_expr_ptr unary();
    dbl_expr_ptr primary();
    dbl_expr_ptr literal(bool negative);
    dbl_expr_ptr call(const dbl_name& function);
    dbl_expr_ptr convert_call();

    std::vector<dbl_token> tokens;
    std::size_t at = 0;
    int depth = 0;
};
