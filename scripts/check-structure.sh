#!/usr/bin/env bash
# Two rules of the source tree that the compiler cannot see:
#  1. the folders of src/ include each other one way only: no folder reaches itself again through the
#     #include lines of the others (a loop means two subsystems can no longer change apart);
#  2. windows and panels (TForm_*, Widget*) hold no SQL: every statement lives in a logic class.
# Prints what breaks a rule and fails; silent when both hold.
set -euo pipefail
cd "$(dirname "$0")/.."

status=0

# 1. The folder graph: an edge "a b" for every file of src/a that includes "b/...".
edges=$(
    for file in src/*/*; do
        [ -f "$file" ] || continue
        from=${file#src/}
        from=${from%%/*}
        sed -n 's|^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([A-Za-z0-9_]*\)/.*|\1|p' "$file" |
            while read -r to; do
                [ -d "src/$to" ] && [ "$to" != "$from" ] && echo "$from $to"
            done
    done | sort -u
)
if ! loops=$(printf '%s\n' "$edges" | tsort 2>&1 >/dev/null); then
    echo "The folders of src/ include each other in a loop:" >&2
    # tsort names the folders of each loop; show the includes that join them.
    members=$(printf '%s\n' "$loops" | sed -n 's/^tsort: \([A-Za-z0-9_]*\)$/\1/p' | sort -u)
    printf '%s\n' "$edges" | while read -r from to; do
        printf '%s\n' "$members" | grep -qx "$from" && printf '%s\n' "$members" | grep -qx "$to" || continue
        grep -n "^[[:space:]]*#[[:space:]]*include[[:space:]]*\"$to/" src/"$from"/* | sed "s|^|  $from -> $to: |" >&2
    done
    status=1
fi

# 2. SQL in windows and panels: a string literal (adjacent literals joined, as the compiler joins
#    them) that holds a statement.
if ! perl -e '
    my $found = 0;
    for my $file (@ARGV) {
        open my $in, "<", $file or die "$file: $!";
        local $/;
        my $code = <$in>;
        close $in;
        # Comments out, keeping the line count; a "//" inside a literal is left alone.
        $code =~ s{("(?:[^"\\\n]|\\.)*")|//[^\n]*|/\*(.*?)\*/}{
            defined $1 ? $1 : defined $2 ? "\n" x ($2 =~ tr/\n//) : ""
        }gse;
        # Runs of literals separated only by blanks, each run with the line it starts on.
        while ($code =~ /((?:"(?:[^"\\\n]|\\.)*"\s*)+)/g) {
            my ($run, $at) = ($1, $-[1]);
            my $text = join "", $run =~ /"((?:[^"\\\n]|\\.)*)"/g;
            next unless $text =~ /^\s*(?:SELECT|INSERT|UPDATE|DELETE|EXECUTE|MERGE)\b/
                     || $text =~ /\bSELECT\b.+\bFROM\b/i
                     || $text =~ /\bINSERT\s+INTO\b/i
                     || $text =~ /\bUPDATE\s+\w+\s+SET\b/i
                     || $text =~ /\bDELETE\s+FROM\b/i
                     || $text =~ /\bEXECUTE\s+(?:BLOCK|PROCEDURE|STATEMENT)\b/i;
            my $line = 1 + (substr($code, 0, $at) =~ tr/\n//);
            print STDERR "$file:$line: SQL in a window or panel: \"$text\"\n";
            $found = 1;
        }
    }
    exit $found;
' $(find src -type f \( -name 'TForm_*' -o -name 'Widget*' \) | sort); then
    echo "Move these statements into the logic class the window talks to." >&2
    status=1
fi

exit $status
