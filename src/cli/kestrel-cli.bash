# bash completion for kestrel-cli: its commands, each command's own options, and their values.
_kestrel_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]} word command=""
    local cword=$COMP_CWORD words=("${COMP_WORDS[@]}")

    local commands="ports check info program verify read run help"
    for word in "${words[@]:1:cword-1}"; do
        case " $commands " in *" $word "*) command=$word; break ;; esac
    done

    case $prev in
        -p|--port)
            local adapters=$(compgen -G '/dev/tty[UA][SC][BM]*')
            COMPREPLY=($(compgen -W "1 2 3 4 all $adapters" -- "$cur"))
            [[ $cur == /* ]] && COMPREPLY+=($(compgen -f -- "$cur"))
            return ;;
        -o|--out|--log)
            COMPREPLY=($(compgen -f -- "$cur"))
            return ;;
        --region)
            COMPREPLY=($(compgen -W "flash eeprom config" -- "$cur"))
            return ;;
        --wait|--retries|--range)
            return ;;
    esac

    local every="-j --json -q --quiet -v --verbose -h --help"
    local device="-p --port --wait --retries --paced --fast --log"
    local image="--flash --eeprom --strict"
    local options
    case $command in
        "") options="$every --version" ;;
        ports) options="$every" ;;
        check) options="$every $image" ;;
        info|run) options="$every $device" ;;
        program) options="$every $device $image --erase --keep --verify --run --resume" ;;
        verify) options="$every $device $image --keep --erased" ;;
        read) options="$every $device -o --out --range --region --all" ;;
        help) COMPREPLY=($(compgen -W "$commands" -- "$cur")); return ;;
    esac

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
    elif [[ -z $command ]]; then
        COMPREPLY=($(compgen -W "$commands" -- "$cur"))
    elif [[ $command == check || $command == program || $command == verify ]]; then
        COMPREPLY=($(compgen -d -- "$cur") $(compgen -f -X '!*.[hH][eE][xX]' -- "$cur"))
    fi
}
complete -o filenames -F _kestrel_cli kestrel-cli
