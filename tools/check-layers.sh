#!/usr/bin/env bash
# Checks that every folder of the game includes only from its own layer and
# those below it, and that only the Qt edge includes Qt. Prints one line per
# include that breaks the rule and exits 1; prints nothing and exits 0 when
# there is none.
set -euo pipefail
cd "$(dirname "$0")/.."

# From the ground up; tools/, tests/ and bench/ stand over all of them.
declare -A layer=([base]=0 [tanks]=1 [shells]=1 [drawing]=1 [battle]=2 [input]=3 [qt]=4)

status=0
for folder in "${!layer[@]}"; do
    for file in "$folder"/*; do
        while IFS=: read -r line target; do
            target=${target#*\"}
            if [[ $target == Q* ]]; then
                [ "$folder" = qt ] && continue
                echo "$file:$line: includes the Qt header <$target>; only qt/ sees Qt"
                status=1
            elif [ -z "${layer[${target%%/*}]+x}" ]; then
                echo "$file:$line: includes $target, which is in no layer of the game"
                status=1
            elif [ "${layer[${target%%/*}]}" -gt "${layer[$folder]}" ]; then
                echo "$file:$line: includes $target, a layer above $folder/"
                status=1
            fi
        done < <(grep -n -E '^#include ("[^"]*/|<Q)' "$file" | sed -E 's/#include [<"]([^>"]*)[>"].*/\1/')
    done
done
exit $status
