; A lookup table in code and an odd number of EEPROM records with a gap.
        list    p=16f877a
        #include <p16f877a.inc>
        radix   dec

        __CONFIG _XT_OSC & _WDT_OFF & _LVP_OFF & _CP_OFF
        __IDLOCS 0xABCD

        org     0x0000
        goto    start

        org     0x0100
start:  movlw   3
        call    lookup
        movwf   PORTB
        goto    start

        org     0x0200
lookup: addwf   PCL, F
        retlw   0x10
        retlw   0x20
        retlw   0x30
        retlw   0x40

        org     0x2100
        de      "Kestrel!", 1, 2, 3, 4
        org     0x2140
        de      0xA5, 0x5A, 0xC3, 0x3C
        end
