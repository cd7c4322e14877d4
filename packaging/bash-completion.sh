#!/usr/bin/env bash
# Writes the bash completion of unitrace-cli from its own --help: every option, the values
# of options that list them ("TEXT:{a,b}"), file names for the rest.
# Usage: bash-completion.sh UNITRACE_CLI OUTPUT
set -euo pipefail
cli=${1:?usage: bash-completion.sh UNITRACE_CLI OUTPUT}
out=${2:?usage: bash-completion.sh UNITRACE_CLI OUTPUT}
help=$("$cli" --help)
options=$(grep -oE '^ +(-[a-z],)?--[a-z-]+' <<<"$help" | sed -E 's/^ +//; s/,/ /' | tr '\n' ' ')
cases=""
while read -r opt values; do
  cases+="        $opt) COMPREPLY=(\$(compgen -W \"${values//,/ }\" -- \"\$cur\")); return ;;"$'\n'
done < <(sed -nE 's/^ +(--[a-z-]+) [A-Z]+:\{([a-z,-]+)\}.*/\1 \2/p' <<<"$help")
cat > "$out" <<SH
# bash completion for unitrace-cli (written from its --help)
_unitrace_cli() {
    local cur prev
    cur=\${COMP_WORDS[COMP_CWORD]}
    prev=\${COMP_WORDS[COMP_CWORD-1]}
    case \$prev in
$cases    esac
    if [[ \$cur == -* ]]; then
        COMPREPLY=(\$(compgen -W "$options" -- "\$cur"))
    else
        COMPREPLY=(\$(compgen -f -- "\$cur"))
    fi
}
complete -o filenames -F _unitrace_cli unitrace-cli
SH
