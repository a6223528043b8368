# bash completion for freqcode-table
_freqcode_table() {
    local cur prev
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD-1]}
    case $prev in
        --step)
            COMPREPLY=($(compgen -W "5kHz 6.25kHz 10kHz 12.5kHz 25kHz auto" -- "$cur"))
            return ;;
        --rx|--tx)
            return ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "--step --rx --tx --decode --csv --table --help --version" -- "$cur"))
        return
    fi
    compopt -o filenames 2>/dev/null
    COMPREPLY=($(compgen -f -X '!*.@(csv|CSV|txt|TXT)' -- "$cur") $(compgen -d -- "$cur"))
}
complete -F _freqcode_table freqcode-table
