# bash completion for freqcode-table
_freqcode_table() {
    local cur prev
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD-1]}
    case $prev in
        --step)
            COMPREPLY=($(compgen -W "5kHz 6.25kHz 10kHz 12.5kHz 25kHz auto" -- "$cur"))
            return ;;
        --rx|--tx|--rx-at|--tx-at|--stride|--first|--channels|--fill)
            return ;;
        --chip)
            COMPREPLY=($(compgen -W "2708 2716 2732 2764 27128 27256 27512 74S287 82S129 82S131 82S137" -- "$cur"))
            return ;;
        --image-format)
            COMPREPLY=($(compgen -W "bin ihex srec" -- "$cur"))
            return ;;
        --high-nibble)
            COMPREPLY=($(compgen -W "F 0" -- "$cur"))
            return ;;
        --image)
            compopt -o filenames 2>/dev/null
            COMPREPLY=($(compgen -f -- "$cur"))
            return ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "--step --rx --tx --decode --image --image-format --chip --rx-at --tx-at --stride --first --channels --fill --high-nibble --csv --table --help --version" -- "$cur"))
        return
    fi
    compopt -o filenames 2>/dev/null
    COMPREPLY=($(compgen -f -X '!*.@(csv|CSV|txt|TXT|bin|BIN|hex|HEX|ihx|s19|S19|srec|mot)' -- "$cur") $(compgen -d -- "$cur"))
}
complete -F _freqcode_table freqcode-table
