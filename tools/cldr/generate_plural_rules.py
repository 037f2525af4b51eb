#!/usr/bin/env python3
"""Turns the cardinal plural rules of the Unicode CLDR into the table that
catalogue/plural_rules.cc reads, and CLDR's integer samples into the cases
its test checks the table with.

  generate_plural_rules.py [--plurals PATH] [--check]

Writes catalogue/plural_rules_data.inc and tests/plural_samples.inc. With
--check it writes them to a temporary directory and fails when they differ
from the committed ones; without plurals.xml it says NOT RUN and exits 77.

A count is an integer, so of CLDR's operands only n = i = |count| varies;
v, w, f, t, c and e are all 0. Relations on those are folded to true or
false here, and the table keeps only relations `n [% m] (=|!=) ranges`.
"""

import argparse
import difflib
import math
import pathlib
import re
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

DEFAULT_PLURALS = "/usr/share/unicode/cldr/common/supplemental/plurals.xml"
CATEGORIES = ("zero", "one", "two", "few", "many", "other")
OTHER = CATEGORIES.index("other")
CONSTANT_OPERANDS = set("vwftce")  # all 0 for an integer count
MAX_WORD = 0xFFFFFFFF
SAMPLES_PER_RANGE = 32  # CLDR's ranges are short; this bounds a future one
ROOT = pathlib.Path(__file__).resolve().parents[2]
OUTPUTS = ("catalogue/plural_rules_data.inc", "tests/plural_samples.inc")
NOT_RUN = 77


class RuleError(Exception):
    pass


# A relation the table keeps: (modulus or 0, negated, ((low, high), ...)).
# A chain is a tuple of relations that must all hold; a condition is a
# tuple of chains of which one must hold: () never holds, ((),) always.


def parse_condition(text):
    """Parses `chain ('or' chain)*`, folding the constant operands away."""
    tokens = re.findall(r"\d+|\.\.|!=|=|%|,|[a-z]+|\S", text)
    position = 0

    def take(expected=None):
        nonlocal position
        if position == len(tokens):
            raise RuleError(f"{text!r} ends early")
        token = tokens[position]
        if expected is not None and token != expected:
            raise RuleError(f"{text!r}: {expected!r} expected, not {token!r}")
        position += 1
        return token

    def peek():
        return tokens[position] if position < len(tokens) else None

    def number():
        token = take()
        if not token.isdigit() or int(token) > MAX_WORD:
            raise RuleError(f"{text!r}: {token!r} is not a number the table holds")
        return int(token)

    def value_range():
        low = number()
        if peek() != "..":
            return (low, low)
        take()
        high = number()
        if high < low:
            raise RuleError(f"{text!r}: empty range {low}..{high}")
        return (low, high)

    def relation():
        operand = take()
        modulus = 0
        if peek() == "%":
            take()
            modulus = number()
            if modulus == 0:
                raise RuleError(f"{text!r}: modulus 0")
        operator = take()
        if operator not in ("=", "!="):
            raise RuleError(f"{text!r}: {operator!r} is not = or !=")
        ranges = [value_range()]
        while peek() == ",":
            take()
            ranges.append(value_range())
        negated = operator == "!="
        if operand in CONSTANT_OPERANDS:
            return any(low <= 0 <= high for low, high in ranges) != negated
        if operand not in ("n", "i"):
            raise RuleError(f"{text!r}: unknown operand {operand!r}")
        return (modulus, negated, merge_ranges(ranges))

    def chain():
        relations = [relation()]
        while peek() == "and":
            take()
            relations.append(relation())
        if False in relations:
            return None
        return tuple(r for r in relations if r is not True)

    chains = [chain()]
    while peek() == "or":
        take()
        chains.append(chain())
    if peek() is not None:
        raise RuleError(f"{text!r}: {peek()!r} unexpected")
    chains = [c for c in chains if c is not None]
    return ((),) if () in chains else merge_chains(chains)


def merge_ranges(ranges):
    merged = []
    for low, high in sorted(ranges):
        if merged and low <= merged[-1][1] + 1:
            merged[-1] = (merged[-1][0], max(high, merged[-1][1]))
        else:
            merged.append((low, high))
    return tuple(merged)


def merge_chains(chains):
    """Joins the chains `n % m = a` and `n % m = b` into `n % m = a,b`, so
    that rules written differently but meaning the same share one rule set,
    and a count is tested against fewer relations."""
    merged, single = [], {}
    for chain in chains:
        if len(chain) == 1 and not chain[0][1]:
            modulus, _, ranges = chain[0]
            if modulus in single:
                index = single[modulus]
                joined = merge_ranges(merged[index][0][2] + ranges)
                merged[index] = ((modulus, False, joined),)
                continue
            single[modulus] = len(merged)
        merged.append(chain)
    return tuple(merged)


def holds(relation, n):
    modulus, negated, ranges = relation
    value = n % modulus if modulus else n
    return any(low <= value <= high for low, high in ranges) != negated


def category_of(rule_set, n):
    for category, condition in rule_set:
        if any(all(holds(r, n) for r in chain) for chain in condition):
            return category
    return OTHER


def integer_samples(text):
    """The numbers of an `@integer` list: ranges a~b expanded and capped,
    '…' and compact forms such as 1c6 skipped."""
    numbers = []
    for item in (part.strip() for part in text.split(",")):
        if not item or item == "…" or not re.fullmatch(r"[\d~]+", item):
            continue
        low, _, high = item.partition("~")
        high = high or low
        low, high = int(low), int(high)
        numbers.extend(range(low, min(high, low + SAMPLES_PER_RANGE - 1) + 1))
    return numbers


def repetition(rule_set):
    """(start, period): from `start` on, the category of n + period is that
    of n. Past the last bound of the relations without a modulus only the
    remainders matter, and they repeat with the lcm of the moduli."""
    relations = [r for _, condition in rule_set for chain in condition for r in chain]
    start = max((high + 1 for r in relations if not r[0] for _, high in r[2]), default=0)
    period = math.lcm(*(r[0] for r in relations if r[0]), 1)
    if start + period > MAX_WORD:
        raise RuleError(f"{rule_text(rule_set)} repeats too late for the table")
    return start, period


def reachable(rule_set, samples):
    """The bit set of the categories an integer count reaches. A sample
    that lands in its category is a witness; for the others every count up
    to where the rules have repeated once is tried, so the answer is exact
    either way."""
    found = {category_of(rule_set, n) for n in samples} | {OTHER}
    left = {category for category, _ in rule_set} - found
    if left:
        start, period = repetition(rule_set)
        for n in range(start + period):
            found.add(category_of(rule_set, n))
            if not left - found:
                break
    return sum(1 << category for category in found)


def read_groups(plurals_path):
    """[(locales, rule set, {category: samples})] of the cardinal rules."""
    groups = []
    root = ElementTree.parse(plurals_path).getroot()
    for plurals in root.iter("plurals"):
        if plurals.get("type") != "cardinal":
            continue
        for element in plurals.iter("pluralRules"):
            rule_set, samples = [], {}
            for rule in element.iter("pluralRule"):
                category = CATEGORIES.index(rule.get("count"))
                condition, _, sample_text = (rule.text or "").partition("@")
                sample_text = "@" + sample_text
                found = re.search(r"@integer([^@]*)", sample_text)
                if found:
                    samples[category] = integer_samples(found.group(1))
                if category == OTHER:
                    if condition.strip():
                        raise RuleError(f"'other' has a condition: {condition!r}")
                    continue
                parsed = parse_condition(condition)
                if parsed:
                    rule_set.append((category, parsed))
            rule_set = tuple(rule_set)
            for category, numbers in samples.items():
                wrong = [n for n in numbers if category_of(rule_set, n) != category]
                if wrong:
                    raise RuleError(f"{element.get('locales')}: {CATEGORIES[category]} "
                                    f"samples {wrong} fall elsewhere")
            groups.append((element.get("locales").split(), rule_set, samples))
    if not groups:
        raise RuleError(f"{plurals_path} holds no cardinal plural rules")
    return groups


def cldr_version(plurals_path):
    """CLDR's version as the DTD beside the data fixes it."""
    dtd = pathlib.Path(plurals_path).parents[1] / "dtd" / "ldmlSupplemental.dtd"
    try:
        found = re.search(r'cldrVersion CDATA #FIXED "([^"]+)"', dtd.read_text())
    except OSError:
        found = None
    return found.group(1) if found else "(version unknown)"


def rule_text(rule_set):
    """The rule set as CLDR would write it, for the table's comments."""
    def relation(r):
        modulus, negated, ranges = r
        operand = f"n % {modulus}" if modulus else "n"
        values = ",".join(f"{a}..{b}" if a != b else f"{a}" for a, b in ranges)
        return f"{operand} {'!=' if negated else '='} {values}"

    def condition_text(condition):
        return " or ".join(" and ".join(map(relation, chain)) or "always"
                           for chain in condition)

    parts = [f"{CATEGORIES[category]}: {condition_text(condition)}"
             for category, condition in rule_set]
    return "; ".join(parts) or "other only"


def encode(rule_set):
    """Words of a rule set: per and-chain, a head (category | words that
    follow << 8), then per relation a head (negated | ranges << 1), the
    modulus (0: none) and the ranges' bounds."""
    words = []
    for category, condition in rule_set:
        for chain in condition:
            body = []
            for modulus, negated, ranges in chain:
                body += [int(negated) | len(ranges) << 1, modulus]
                body += [bound for pair in ranges for bound in pair]
            words += [category | len(body) << 8] + body
    return words


def header(version):
    return (f"// Generated by tools/cldr/generate_plural_rules.py from the cardinal\n"
            f"// rules of Unicode CLDR {version} (plurals.xml): generated, do not edit.\n")


def write_outputs(plurals_path, directory):
    groups = read_groups(plurals_path)
    version = cldr_version(plurals_path)
    rule_sets, locales = {}, {}
    for names, rule_set, samples in groups:
        index, witnesses = rule_sets.setdefault(rule_set, (len(rule_sets), set()))
        witnesses.update(n for numbers in samples.values() for n in numbers)
        for name in names:
            if not re.fullmatch(r"[A-Za-z0-9_]+", name):
                raise RuleError(f"{name!r} is not a locale name")
            if name.lower() in locales:
                raise RuleError(f"{name} is listed twice")
            locales[name.lower()] = index

    code, sets = [], []
    for rule_set, (index, witnesses) in rule_sets.items():
        words = encode(rule_set)
        start, period = repetition(rule_set)
        sets.append(f"    // {index}: {rule_text(rule_set)}\n"
                    f"    {{{len(code)}, {len(code) + len(words)}, "
                    f"0x{reachable(rule_set, witnesses):02x}, {start}, {period}}},")
        code += words
    if len(code) > 0xFFFF:
        raise RuleError("the code no longer fits 16-bit offsets")
    code_lines = [", ".join(map(str, code[i:i + 10])) for i in range(0, len(code), 10)]
    locale_items = [f'{{"{name}", {locales[name]}}}' for name in sorted(locales)]
    locale_lines = [", ".join(locale_items[i:i + 5]) for i in range(0, len(locale_items), 5)]
    data = (header(version) +
            "//\n// Rule sets: code begin, end, categories used (bit 1 << category), and\n"
            "// where and how the categories repeat. Locale names are lower case, sorted.\n\n"
            "constexpr std::uint32_t kPluralCode[] = {\n" +
            "".join(f"    {line},\n" for line in code_lines) + "};\n\n"
            "constexpr PluralRuleSet kPluralRuleSets[] = {\n" +
            "".join(f"{line}\n" for line in sets) + "};\n\n"
            "constexpr PluralLocale kPluralLocales[] = {\n" +
            "".join(f"    {line},\n" for line in locale_lines) + "};\n")

    sample_lines = []
    for names, _, samples in groups:
        for category, numbers in sorted(samples.items()):
            sample_lines.append(f'    {{"{" ".join(names)}", "{CATEGORIES[category]}",\n'
                                f'     {{{", ".join(map(str, numbers))}}}}},\n')
    tests = header(version) + "\n" + "".join(sample_lines)

    for path, text in zip(OUTPUTS, (data, tests)):
        target = pathlib.Path(directory) / path
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_text(text)


def check(plurals_path):
    with tempfile.TemporaryDirectory() as directory:
        write_outputs(plurals_path, directory)
        stale = False
        for path in OUTPUTS:
            fresh = (pathlib.Path(directory) / path).read_text().splitlines(True)
            committed_path = ROOT / path
            committed = (committed_path.read_text().splitlines(True)
                         if committed_path.exists() else [])
            diff = list(difflib.unified_diff(committed, fresh, path, path + " (regenerated)"))
            if diff:
                stale = True
                sys.stdout.writelines(diff[:60])
        if stale:
            print(f"the committed tables differ from {plurals_path}: "
                  "run tools/cldr/generate_plural_rules.py")
            return 1
    print(f"the committed tables match {plurals_path}")
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--plurals", default=DEFAULT_PLURALS, help="CLDR's plurals.xml")
    parser.add_argument("--check", action="store_true",
                        help="compare with the committed files instead of writing them")
    arguments = parser.parse_args()
    if not pathlib.Path(arguments.plurals).is_file():
        print(f"NOT RUN: plurals.xml not installed ({arguments.plurals}; "
              "Debian package unicode-cldr-core)")
        return NOT_RUN
    try:
        if arguments.check:
            return check(arguments.plurals)
        write_outputs(arguments.plurals, ROOT)
    except (RuleError, ElementTree.ParseError, ValueError) as error:
        print(f"generate_plural_rules: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
